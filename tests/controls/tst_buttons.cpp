#include <QtTest>

#include "controls/ControlTestSupport.h"
#include "controls/ControlStyle.h"
#include "controls/QelBtn.h"
#include "controls/QelButton.h"
#include "controls/QelCheckBtn.h"
#include "controls/QelIOSelPoint.h"
#include "controls/QelText.h"

using namespace qel;
using qel::test::Call;
using qel::test::Calls;

namespace {

// A shown window with room around the control, so the pointer can leave it.
struct Host {
    QWidget window;
    Host() { window.resize(120, 80); }
    template <class T>
    T* add(QPoint at) {
        auto* control = new T(&window);
        control->move(at);
        return control;
    }
    bool show() {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
};

}  // namespace

class TestButtons : public QObject {
    Q_OBJECT

private slots:
    void controlsAreNamedAfterTheirClass();
    void pushButtonReportsItsParameterOnRelease();
    void pushButtonHitBoxReachesBelowTheButton_data();
    void pushButtonHitBoxReachesBelowTheButton();
    void onlyTheLeftButtonClicks();
    void pressedStateShowsThePressedRow();
    void checkButtonClickedTwiceReportsOneThenZero();
    void checkButtonReleasedOutsideStaysAsItWas();
    void checkButtonShowsAlternateTextOnlyWhenCheckedAndSwitchedOn();
    void routingPointHoverFollowsThePointer();
    void routingPointClickTogglesAndShowsTheNewState();
    void routingPointReleaseOutsideCancels();
    void imageButtonGivesUpCaptureWhenThePointerLeaves();
    void pressingAButtonCommitsTheEditBeingTyped();
};

void TestButtons::controlsAreNamedAfterTheirClass() {
    QWidget parent;
    QCOMPARE((new CQelBtn(&parent))->objectName(), QStringLiteral("Qel.CQelBtn"));
    QCOMPARE((new CQelButton(&parent))->objectName(), QStringLiteral("Qel.CQelButton"));
    QCOMPARE((new CQelCheckBtn(&parent))->objectName(), QStringLiteral("Qel.CQelCheckBtn"));
    QCOMPARE((new CQelIOSelPoint(&parent))->objectName(), QStringLiteral("Qel.CQelIOSelPoint"));
    QVERIFY(parent.findChild<CQelBtn*>(QStringLiteral("Qel.CQelBtn")));
}

void TestButtons::pushButtonReportsItsParameterOnRelease() {
    QObject owner;
    Calls calls;
    CQelBtn button;
    button.setText(QStringLiteral("EQ pass"));
    button.setCallback(&owner, 41, calls.callback());
    button.setParameter(7);

    QTest::mousePress(&button, Qt::LeftButton, {}, {10, 8});
    QVERIFY(button.isPressed());
    QVERIFY(calls.list.empty());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {10, 8});
    QVERIFY(!button.isPressed());
    QCOMPARE(calls.list, (std::vector<Call>{{&owner, 41, 7}}));
}

// The release counts anywhere in 0..48 x 0..23, also below the 18-pixel-high button.
void TestButtons::pushButtonHitBoxReachesBelowTheButton_data() {
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("clicks");
    QTest::newRow("inside") << QPoint(24, 9) << true;
    QTest::newRow("below the button, in the box") << QPoint(24, 21) << true;
    QTest::newRow("far corner") << QPoint(48, 23) << true;
    QTest::newRow("right of the box") << QPoint(49, 9) << false;
    QTest::newRow("below the box") << QPoint(24, 24) << false;
    QTest::newRow("left of the box") << QPoint(-1, 9) << false;
    QTest::newRow("above the box") << QPoint(24, -1) << false;
}

void TestButtons::pushButtonHitBoxReachesBelowTheButton() {
    QFETCH(QPoint, release);
    QFETCH(bool, clicks);
    Calls calls;
    CQelBtn button;
    button.setCallback(nullptr, 1, calls.callback());
    QTest::mousePress(&button, Qt::LeftButton, {}, {24, 9});
    QTest::mouseRelease(&button, Qt::LeftButton, {}, release);
    QCOMPARE(calls.list.size(), clicks ? 1u : 0u);
    QVERIFY(!button.isPressed());
}

void TestButtons::onlyTheLeftButtonClicks() {
    Calls calls;
    CQelCheckBtn check;
    check.setCallback(nullptr, 1, calls.callback());
    QTest::mouseClick(&check, Qt::RightButton, {}, {10, 10});
    QTest::mouseClick(&check, Qt::MiddleButton, {}, {10, 10});
    QVERIFY(calls.list.empty());
    QVERIFY(!check.isChecked());
}

void TestButtons::pressedStateShowsThePressedRow() {
    CQelBtn push;  // no text, so the shot is the skin row alone
    QVERIFY(test::showsRow(push, skinid::kPushButton, 0));
    QTest::mousePress(&push, Qt::LeftButton, {}, {5, 5});
    QVERIFY(test::showsRow(push, skinid::kPushButton, 18));
    QTest::mouseRelease(&push, Qt::LeftButton, {}, {5, 5});

    CQelButton image;
    QTest::mousePress(&image, Qt::LeftButton, {}, {5, 5});
    QVERIFY(test::showsRow(image, skinid::kSearchButton, 20));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, {5, 5});
    QVERIFY(test::showsRow(image, skinid::kSearchButton, 0));
}

void TestButtons::checkButtonClickedTwiceReportsOneThenZero() {
    QObject owner;
    Calls calls;
    CQelCheckBtn check;
    check.setBitmapId(skinid::kPolarityButton);
    check.setCallback(&owner, 9, calls.callback());

    QTest::mouseClick(&check, Qt::LeftButton, {}, {20, 10});
    QVERIFY(check.isChecked());
    QVERIFY(test::showsRow(check, skinid::kPolarityButton, 46));
    QTest::mousePress(&check, Qt::LeftButton, {}, {20, 10});
    QVERIFY(test::showsRow(check, skinid::kPolarityButton, 23));
    QTest::mouseRelease(&check, Qt::LeftButton, {}, {20, 10});
    QVERIFY(!check.isChecked());
    QVERIFY(test::showsRow(check, skinid::kPolarityButton, 0));
    QCOMPARE(calls.list, (std::vector<Call>{{&owner, 9, 1}, {&owner, 9, 0}}));
}

void TestButtons::checkButtonReleasedOutsideStaysAsItWas() {
    Calls calls;
    CQelCheckBtn check;
    check.setChecked(true);
    check.setCallback(nullptr, 2, calls.callback());
    QTest::mousePress(&check, Qt::LeftButton, {}, {20, 10});
    QTest::mouseRelease(&check, Qt::LeftButton, {}, {20, 40});
    QVERIFY(check.isChecked());
    QVERIFY(!check.isPressed());
    QVERIFY(calls.list.empty());
    QVERIFY(test::showsRow(check, skinid::kMuteButton, 46));
}

void TestButtons::checkButtonShowsAlternateTextOnlyWhenCheckedAndSwitchedOn() {
    CQelCheckBtn check;
    check.setText(QStringLiteral("Phase 0°"));
    check.setAlternateText(QStringLiteral("Phase180"));
    check.setChecked(true);
    QCOMPARE(check.shownText(), QStringLiteral("Phase 0°"));
    check.setUseAlternateText(true);
    QCOMPARE(check.shownText(), QStringLiteral("Phase180"));
    QTest::mouseClick(&check, Qt::LeftButton, {}, {20, 10});
    QCOMPARE(check.shownText(), QStringLiteral("Phase 0°"));
    // Texts live in 32-byte buffers.
    check.setText(QString(40, u'x'));
    QCOMPARE(check.text().size(), 31);
}

void TestButtons::routingPointHoverFollowsThePointer() {
    Host host;
    auto* point = host.add<CQelIOSelPoint>({40, 30});
    QVERIFY(host.show());

    QTest::mouseMove(point, {5, 5});
    QVERIFY(point->isHovered());
    QVERIFY(test::showsRow(*point, skinid::kRoutingPoint, 20));
    QTest::mouseMove(point, {30, 5});  // over the host, beside the point
    QVERIFY(!point->isHovered());
    QVERIFY(test::showsRow(*point, skinid::kRoutingPoint, 0));

    point->setChecked(true);
    QVERIFY(test::showsRow(*point, skinid::kRoutingPoint, 10));
    QTest::mouseMove(point, {4, 6});
    QVERIFY(point->isHovered());
    QVERIFY(test::showsRow(*point, skinid::kRoutingPoint, 20));
}

void TestButtons::routingPointClickTogglesAndShowsTheNewState() {
    Host host;
    auto* point = host.add<CQelIOSelPoint>({40, 30});
    QObject owner;
    Calls calls;
    point->setCallback(&owner, 13, calls.callback());
    QVERIFY(host.show());

    QTest::mouseMove(point, {5, 5});
    QTest::mouseClick(point, Qt::LeftButton, {}, {5, 5});
    QVERIFY(point->isChecked());
    QVERIFY(!point->isHovered());  // the release drops hover so the new state shows
    QVERIFY(test::showsRow(*point, skinid::kRoutingPoint, 10));
    QTest::mouseClick(point, Qt::LeftButton, {}, {5, 5});
    QVERIFY(!point->isChecked());
    QCOMPARE(calls.list, (std::vector<Call>{{&owner, 13, 1}, {&owner, 13, 0}}));
}

void TestButtons::routingPointReleaseOutsideCancels() {
    Calls calls;
    CQelIOSelPoint point;
    point.setCallback(nullptr, 1, calls.callback());
    QTest::mousePress(&point, Qt::LeftButton, {}, {5, 5});
    QTest::mouseRelease(&point, Qt::LeftButton, {}, {5, 12});  // 0..10 x 0..10 only
    QTest::mousePress(&point, Qt::LeftButton, {}, {5, 5});
    QTest::mouseMove(&point, {20, 5});  // dragged off: hover and capture end
    QTest::mouseMove(&point, {11, 5});
    QTest::mouseRelease(&point, Qt::LeftButton, {}, {11, 5});
    QVERIFY(calls.list.empty());
    QVERIFY(!point.isChecked());
    QVERIFY(!point.isPressed());
}

// Leaving 0..21 x 0..19 ends the capture, so a release beside the button, though inside the
// shared 48 x 23 hit box, no longer reaches it; without the move it still would.
void TestButtons::imageButtonGivesUpCaptureWhenThePointerLeaves() {
    QObject owner;
    Calls calls;
    CQelButton button;
    button.setText(QStringLiteral("Reset"));
    button.setParameter(3);
    button.setCallback(&owner, 1010, calls.callback());

    QTest::mousePress(&button, Qt::LeftButton, {}, {5, 5});
    QTest::mouseMove(&button, {30, 5});
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {30, 5});
    QVERIFY(calls.list.empty());
    QVERIFY(!button.isPressed());

    QTest::mousePress(&button, Qt::LeftButton, {}, {5, 5});
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {30, 5});
    QCOMPARE(calls.list, (std::vector<Call>{{&owner, 1010, 3}}));

    QTest::mousePress(&button, Qt::LeftButton, {}, {5, 5});
    QTest::mouseMove(&button, {30, 5});
    QTest::mouseMove(&button, {6, 6});  // back over the button
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {6, 6});
    QCOMPARE(calls.list.size(), 2u);
    QCOMPARE(button.text(), QStringLiteral("Reset"));
}

void TestButtons::pressingAButtonCommitsTheEditBeingTyped() {
    Host host;
    auto* edit = host.add<CQelText>({0, 40});
    auto* button = host.add<CQelBtn>({0, 0});
    QStringList committed;
    edit->setCallbacks(
        nullptr, 1, [&](QObject*, int, const QString& text) { committed << text; }, {});
    host.window.show();
    host.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&host.window));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("-3.5"));

    QTest::mouseClick(button, Qt::LeftButton, {}, {10, 8});
    QVERIFY(button->hasFocus());
    QCOMPARE(committed, QStringList{QStringLiteral("-3.5")});
}

QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>

#include "controls/ControlStyle.h"
#include "controls/ControlTestSupport.h"
#include "controls/QelBtn.h"
#include "controls/QelButton.h"
#include "controls/QelCheckBtn.h"
#include "controls/QelIOSelPoint.h"
#include "controls/QelText.h"

using namespace qel;
using qel::test::Call;
using qel::test::Calls;
using qel::test::showsRow;

class TestButtons : public QObject {
    Q_OBJECT

private slots:
    void pushButtonActsOnReleaseInsideItsHitBox_data();
    void pushButtonActsOnReleaseInsideItsHitBox();
    void checkButtonClickedTwiceReportsOneThenZero();
    void routingPointHoversAndToggles();
    void imageButtonGivesUpCaptureWhenThePointerLeaves();
    void pressingAButtonCommitsTheEditBeingTyped();
};

// The hit box is 0..48 x 0..23, so it reaches below the 18-pixel-high button.
void TestButtons::pushButtonActsOnReleaseInsideItsHitBox_data() {
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("clicks");
    QTest::newRow("inside") << QPoint(24, 9) << true;
    QTest::newRow("below the button, in the box") << QPoint(24, 21) << true;
    QTest::newRow("far corner") << QPoint(48, 23) << true;
    QTest::newRow("right of the box") << QPoint(49, 9) << false;
    QTest::newRow("below the box") << QPoint(24, 24) << false;
    QTest::newRow("left of the box") << QPoint(-1, 9) << false;
}

void TestButtons::pushButtonActsOnReleaseInsideItsHitBox() {
    QFETCH(QPoint, release);
    QFETCH(bool, clicks);
    QObject owner;
    Calls calls;
    CQelBtn button;  // no text: the shot is the skin row alone
    button.setCallback(&owner, 41, calls.callback());
    button.setParameter(7);
    QTest::mousePress(&button, Qt::LeftButton, {}, {24, 9});
    QVERIFY(button.isPressed());
    QVERIFY(showsRow(button, skinid::kPushButton, 18));
    QTest::mouseClick(&button, Qt::RightButton, {}, {24, 9});
    QVERIFY(calls.list.empty());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, release);
    const std::vector<Call> expected =
        clicks ? std::vector<Call>{{&owner, 41, 7}} : std::vector<Call>{};
    QCOMPARE(calls.list, expected);
    QVERIFY(!button.isPressed());
    QVERIFY(showsRow(button, skinid::kPushButton, 0));
}

void TestButtons::checkButtonClickedTwiceReportsOneThenZero() {
    QObject owner;
    Calls calls;
    CQelCheckBtn check;
    check.setBitmapId(skinid::kPolarityButton);
    check.setCallback(&owner, 9, calls.callback());
    QTest::mouseClick(&check, Qt::LeftButton, {}, {20, 10});
    QVERIFY(check.isChecked());
    QVERIFY(showsRow(check, skinid::kPolarityButton, 46));
    QTest::mousePress(&check, Qt::LeftButton, {}, {20, 10});
    QVERIFY(showsRow(check, skinid::kPolarityButton, 23));
    QTest::mouseRelease(&check, Qt::LeftButton, {}, {20, 10});
    QVERIFY(showsRow(check, skinid::kPolarityButton, 0));
    QCOMPARE(calls.list, (std::vector<Call>{{&owner, 9, 1}, {&owner, 9, 0}}));

    QTest::mousePress(&check, Qt::LeftButton, {}, {20, 10});
    QTest::mouseRelease(&check, Qt::LeftButton, {}, {20, 40});  // outside: cancelled
    QVERIFY(!check.isChecked());
    QCOMPARE(calls.list.size(), 2u);

    check.setText(QStringLiteral("Phase 0°"));
    check.setAlternateText(QStringLiteral("Phase180"));
    check.setChecked(true);
    QCOMPARE(check.shownText(), QStringLiteral("Phase 0°"));
    check.setUseAlternateText(true);
    QCOMPARE(check.shownText(), QStringLiteral("Phase180"));
    check.setText(QString(40, u'x'));  // texts live in 32-byte buffers
    QCOMPARE(check.text().size(), 31);
}

void TestButtons::routingPointHoversAndToggles() {
    QWidget host;
    host.resize(120, 80);
    auto* point = new CQelIOSelPoint(&host);
    point->move(40, 30);
    QObject owner;
    Calls calls;
    point->setCallback(&owner, 13, calls.callback());
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));

    QTest::mouseMove(point, {5, 5});
    QVERIFY(point->isHovered());
    QVERIFY(showsRow(*point, skinid::kRoutingPoint, 20));
    QTest::mouseMove(point, {30, 5});  // beside the point
    QVERIFY(!point->isHovered());
    QVERIFY(showsRow(*point, skinid::kRoutingPoint, 0));

    QTest::mouseMove(point, {5, 5});
    QTest::mouseClick(point, Qt::LeftButton, {}, {5, 5});
    QVERIFY(point->isChecked());
    QVERIFY(!point->isHovered());  // the release drops hover so the new state shows
    QVERIFY(showsRow(*point, skinid::kRoutingPoint, 10));

    QTest::mousePress(point, Qt::LeftButton, {}, {5, 5});
    QTest::mouseRelease(point, Qt::LeftButton, {}, {5, 12});  // 0..10 x 0..10 only
    QVERIFY(point->isChecked());
    QTest::mouseClick(point, Qt::LeftButton, {}, {5, 5});
    QVERIFY(!point->isChecked());
    QCOMPARE(calls.list, (std::vector<Call>{{&owner, 13, 1}, {&owner, 13, 0}}));
}

// Leaving 0..21 x 0..19 ends the capture, so a release beside the button, though inside the
// shared 48 x 23 hit box, no longer reaches it; without the move it still would.
void TestButtons::imageButtonGivesUpCaptureWhenThePointerLeaves() {
    QObject owner;
    Calls calls;
    CQelButton button;
    button.setParameter(3);
    button.setCallback(&owner, 1010, calls.callback());
    QTest::mousePress(&button, Qt::LeftButton, {}, {5, 5});
    QVERIFY(showsRow(button, skinid::kSearchButton, 20));
    QTest::mouseMove(&button, {30, 5});
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {30, 5});
    QVERIFY(calls.list.empty());
    QVERIFY(showsRow(button, skinid::kSearchButton, 0));

    QTest::mousePress(&button, Qt::LeftButton, {}, {5, 5});
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {30, 5});
    QCOMPARE(calls.list, (std::vector<Call>{{&owner, 1010, 3}}));
}

void TestButtons::pressingAButtonCommitsTheEditBeingTyped() {
    QStringList committed;
    QWidget host;
    auto* edit = new CQelText(&host);
    edit->move(0, 40);
    auto* button = new CQelBtn(&host);
    edit->setCallbacks(nullptr, 1, [&](QObject*, int, const QString& t) { committed << t; }, {});
    host.show();
    host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&host));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("-3.5"));
    QTest::mouseClick(button, Qt::LeftButton, {}, {10, 8});
    QVERIFY(button->hasFocus());
    QCOMPARE(committed, QStringList{QStringLiteral("-3.5")});
}

QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"

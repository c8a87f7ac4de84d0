#include <QtTest>

#include "controls/ControlTestSupport.h"
#include "controls/MessageBoxes.h"
#include "controls/QelTitle.h"

using namespace qel;

namespace {

struct TitleCall {
    QObject* owner;
    int tabId;
    int value;
    int mask;
    bool operator==(const TitleCall&) const = default;
};

// An editor-like window with the six tabs; 4 inputs and 8 outputs. Tab index 3 (id 4)
// selects inputs, index 4 (id 5) outputs.
struct Editor {
    QWidget window;
    QObject owner;
    CQelTitle* title = nullptr;
    std::vector<TitleCall> calls;
    ScriptedMessageBoxes boxes;

    Editor() {
        window.resize(966, 120);
        title = new CQelTitle(&window);
        title->setChannelCounts(4, 8);
        const char* names[] = {"增益", "延时", "限制", "输入", "输出", "系统"};
        const int kinds[] = {0, 0, 0, 1, 2, 0};
        for (int i = 0; i < 6; ++i) title->addTab(QString::fromUtf8(names[i]), kinds[i], i + 1);
        title->setCallback(&owner, [this](QObject* o, int tab, int value, int mask) {
            calls.push_back({o, tab, value, mask});
        });
        setMessageBoxes(&boxes);
    }
    ~Editor() { setMessageBoxes(nullptr); }

    void click(QPoint at) { QTest::mouseClick(title, Qt::LeftButton, {}, at); }
    void clickTab(int tab) { click(title->tabRect(tab).center()); }
    void clickChannel(int c) { click(title->channelRect(c).topLeft() + QPoint(12, 8)); }
    void clickIcon(int c) { click(title->linkIconRect(c).center()); }
    QImage label(int c) {
        const QRect r = title->channelRect(c);
        return test::shot(*title).copy(r.x() + 8, 8, 32, 15);
    }
};

bool labelIn(Editor& e, int channel, QColor colour) {
    const QImage image = e.label(channel);
    return test::hasColour(image, image.rect(), colour, 45);
}

}  // namespace

class TestTitle : public QObject {
    Q_OBJECT

private slots:
    void stripSpansItsParentAndLaysOutTabsAndButtons();
    void pressingAnotherTabReportsItsChannelAndMask();
    void pressingAChannelSelectsItOnce();
    void pressesOutsideTheTabRowsDoNothing();
    void bindingAsksAndColoursTheGroup();
    void bindingAThirdChannelAndUnlinkingThroughClicks();
    void bindingAMemberOfAnotherGroupThroughClicks();
    void refusedBindLeavesTheLinksAlone();
    void eachChannelTabKeepsItsOwnLinks();
    void hoverFollowsThePointer();
};

void TestTitle::stripSpansItsParentAndLaysOutTabsAndButtons() {
    Editor e;
    QCOMPARE(e.title->objectName(), QStringLiteral("Qel.CQelTitle"));
    QCOMPARE(e.title->geometry(), QRect(0, 0, 966, 24));
    e.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e.window));
    e.window.resize(700, 120);
    QCOMPARE(e.title->width(), 700);

    const QFontMetrics fm(e.title->font());
    QCOMPARE(e.title->tabRect(0), QRect(6, 7, fm.horizontalAdvance(QStringLiteral("增益")) + 22, 17));
    QCOMPARE(e.title->tabRect(1).x(), e.title->tabRect(0).right() + 1);
    QCOMPARE(e.title->tabRect(1).width(), fm.horizontalAdvance(QStringLiteral("延时")) + 14);
    QCOMPARE(e.title->channelCount(), 0);

    e.clickTab(4);
    QCOMPARE(e.title->channelCount(), 8);
    QCOMPARE(e.title->tabRect(4).width(), fm.horizontalAdvance(QStringLiteral("输出")) + 22);
    const QRect first = e.title->channelRect(0);
    QCOMPARE(first, QRect(e.title->tabRect(5).right() + 1 + 32, 7, 58, 17));
    QCOMPARE(e.title->channelRect(7).x(), first.x() + 7 * 58);
    QCOMPARE(e.title->linkIconRect(2), QRect(first.x() + 2 * 58 + 40, 12, 14, 7));
    QCOMPARE(e.title->channelLabel(0), QStringLiteral("Out 1"));
    e.clickTab(3);
    QCOMPARE(e.title->channelCount(), 4);
    QCOMPARE(e.title->channelLabel(3), QStringLiteral("In D"));
}

void TestTitle::pressingAnotherTabReportsItsChannelAndMask() {
    Editor e;
    e.clickTab(0);  // already current
    QVERIFY(e.calls.empty());
    e.clickTab(4);
    e.clickTab(1);
    QCOMPARE(e.title->currentTab(), 1);
    QCOMPARE(e.calls, (std::vector<TitleCall>{{&e.owner, 5, 1, 0}, {&e.owner, 2, 1, 0}}));
}

void TestTitle::pressingAChannelSelectsItOnce() {
    Editor e;
    e.clickTab(4);
    e.calls.clear();
    e.clickChannel(2);
    e.clickChannel(2);
    QCOMPARE(e.title->selectedChannel(4), 2);
    QCOMPARE(e.calls, (std::vector<TitleCall>{{&e.owner, 5, 3, 0x04}}));

    // Back on the tab later, its selected channel is reported.
    e.clickTab(0);
    e.clickTab(4);
    QCOMPARE(e.calls.back(), (TitleCall{&e.owner, 5, 3, 0}));
}

void TestTitle::pressesOutsideTheTabRowsDoNothing() {
    Editor e;
    e.click({e.title->tabRect(4).center().x(), 4});
    e.clickTab(4);
    e.calls.clear();
    e.click({e.title->channelRect(3).center().x(), 3});
    e.click({e.title->channelRect(7).right() + 5, 15});
    QVERIFY(e.calls.size() == 0);
    QCOMPARE(e.title->selectedChannel(4), 0);
}

void TestTitle::bindingAsksAndColoursTheGroup() {
    Editor e;
    e.clickTab(4);
    e.calls.clear();
    e.clickIcon(1);  // output 1 not ready yet: nothing
    QVERIFY(e.boxes.shown().empty());
    e.clickIcon(0);  // its own icon
    QCOMPARE(e.title->links(4).word(0), 0x0001);
    QVERIFY(e.calls.empty());

    e.boxes.answer(MsgAnswer::Yes);
    e.clickIcon(1);
    QCOMPARE(e.boxes.shown().size(), 1u);
    const MessageRequest& asked = e.boxes.shown().front();
    QCOMPARE(asked.caption, QStringLiteral("EQ Control"));
    QCOMPARE(asked.text, QStringLiteral("Do you want to bind the chunnel?"));
    QCOMPARE(asked.icon, MsgIcon::Question);
    QCOMPARE(asked.buttons, MsgButtons::YesNoCancel);
    QCOMPARE(e.calls, (std::vector<TitleCall>{{&e.owner, 5, 1 + 256 * 2, 3}}));
    QCOMPARE(e.title->links(4).word(0), 0x0103);
    QCOMPARE(e.title->links(4).word(1), 0x0103);
    QCOMPARE(e.title->selectedChannel(4), 0);

    const QColor blue = CQelTitle::groupColour(1);
    QCOMPARE(blue, QColor(0, 0, 220));
    QVERIFY(labelIn(e, 0, blue));
    QVERIFY(labelIn(e, 1, blue));
    QVERIFY(!labelIn(e, 2, blue));
    QVERIFY(labelIn(e, 2, Qt::black));
}

void TestTitle::bindingAThirdChannelAndUnlinkingThroughClicks() {
    Editor e;
    e.clickTab(4);
    e.clickIcon(0);
    e.boxes.answer(MsgAnswer::Yes);
    e.boxes.answer(MsgAnswer::Yes);
    e.clickIcon(1);
    e.clickIcon(2);
    for (int c = 0; c < 3; ++c) QCOMPARE(e.title->links(4).word(c), 0x0107);
    QCOMPARE(e.calls.back(), (TitleCall{&e.owner, 5, 1 + 256 * 3, 7}));

    e.clickIcon(2);  // take output 3 out again
    QCOMPARE(e.calls.back(), (TitleCall{&e.owner, 5, 1, 3}));
    e.clickIcon(1);  // and output 2: the pair is gone
    QCOMPARE(e.calls.back(), (TitleCall{&e.owner, 5, 1, 0}));
    QCOMPARE(e.boxes.shown().size(), 2u);
    QCOMPARE(e.title->links(4).word(1), 0);
    QVERIFY(labelIn(e, 0, Qt::black));
    QVERIFY(!labelIn(e, 0, CQelTitle::groupColour(1)));
    QVERIFY(!labelIn(e, 1, CQelTitle::groupColour(1)));

    // Output 2 has word 0 now: selected, it cannot bind until its own icon is pressed.
    e.clickChannel(1);
    e.clickIcon(3);
    QCOMPARE(e.boxes.shown().size(), 2u);
}

void TestTitle::bindingAMemberOfAnotherGroupThroughClicks() {
    Editor e;
    e.clickTab(4);
    for (int i = 0; i < 3; ++i) e.boxes.answer(MsgAnswer::Yes);
    e.clickIcon(0);
    e.clickIcon(1);  // group 1: outputs 1, 2
    e.clickChannel(4);
    e.clickIcon(4);
    e.clickIcon(5);  // group 2: outputs 5, 6
    QVERIFY(labelIn(e, 5, CQelTitle::groupColour(2)));

    e.clickChannel(0);
    e.clickIcon(5);
    QCOMPARE(e.calls.back(), (TitleCall{&e.owner, 5, 1 + 256 * 6, 0x23}));
    QVERIFY(labelIn(e, 5, CQelTitle::groupColour(1)));
    QVERIFY(labelIn(e, 4, Qt::black));
    QVERIFY(!labelIn(e, 4, CQelTitle::groupColour(2)));
    QCOMPARE(e.title->links(4).word(4), 0x0010);
}

void TestTitle::refusedBindLeavesTheLinksAlone() {
    Editor e;
    e.clickTab(3);
    e.clickIcon(0);
    e.boxes.answer(MsgAnswer::No);
    e.boxes.answer(MsgAnswer::Cancel);
    e.clickIcon(1);
    e.clickIcon(3);
    QCOMPARE(e.boxes.shown().size(), 2u);
    QCOMPARE(e.calls.size(), 1u);  // the tab press only
    QCOMPARE(e.title->links(3).word(0), 0x0001);
    QCOMPARE(e.title->links(3).word(1), 0);
    QCOMPARE(e.title->links(3).word(3), 0);
}

void TestTitle::eachChannelTabKeepsItsOwnLinks() {
    Editor e;
    e.clickTab(3);
    e.boxes.answer(MsgAnswer::Yes);
    e.clickIcon(0);
    e.clickIcon(1);  // inputs A and B
    e.clickTab(4);
    QCOMPARE(e.calls.back(), (TitleCall{&e.owner, 5, 1, 0}));
    QCOMPARE(e.title->links(4).word(0), 0);
    QVERIFY(labelIn(e, 1, Qt::black));
    e.clickTab(3);
    QCOMPARE(e.calls.back(), (TitleCall{&e.owner, 4, 1, 3}));
    QVERIFY(labelIn(e, 1, CQelTitle::groupColour(1)));
}

void TestTitle::hoverFollowsThePointer() {
    Editor e;
    e.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e.window));
    e.clickTab(4);
    QTest::mouseMove(e.title, e.title->tabRect(2).center());
    QCOMPARE(e.title->hoverTab(), 2);
    QCOMPARE(e.title->hoverChannel(), -1);
    QTest::mouseMove(e.title, e.title->channelRect(6).center());
    QCOMPARE(e.title->hoverTab(), -1);
    QCOMPARE(e.title->hoverChannel(), 6);
    QTest::mouseMove(e.title, {e.title->channelRect(6).center().x(), 3});
    QCOMPARE(e.title->hoverChannel(), -1);
    QTest::mouseMove(e.title, e.title->channelRect(6).center());
    QTest::mouseMove(e.title, {10, 60});  // off the strip, into the window below
    QCOMPARE(e.title->hoverChannel(), -1);
}

QTEST_MAIN(TestTitle)
#include "tst_title.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
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

// An editor-like window with the six tabs, 4 inputs and 8 outputs: tab index 3 (id 4)
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
    TitleCall last() const { return calls.empty() ? TitleCall{} : calls.back(); }
    bool labelIn(int c, QColor colour) {
        const QRect r = title->channelRect(c);
        return test::hasColour(test::shot(*title), {r.x() + 8, 8, 32, 15}, colour, 45);
    }
};

}  // namespace

class TestTitle : public QObject {
    Q_OBJECT

private slots:
    void tabsAndChannelsReportTheirSelection();
    void linkGroupsThroughClicks();
    void bindingAMemberOfAnotherGroupThroughClicks();
    void hoverFollowsThePointer();
};

void TestTitle::tabsAndChannelsReportTheirSelection() {
    Editor e;
    QCOMPARE(e.title->objectName(), QStringLiteral("Qel.CQelTitle"));
    QCOMPARE(e.title->geometry(), QRect(0, 0, 966, 24));
    const QFontMetrics fm(e.title->font());
    QCOMPARE(e.title->tabRect(0),
             QRect(6, 7, fm.horizontalAdvance(QStringLiteral("增益")) + 22, 17));
    QCOMPARE(e.title->tabRect(1).width(), fm.horizontalAdvance(QStringLiteral("延时")) + 14);
    QCOMPARE(e.title->channelCount(), 0);

    e.clickTab(0);                                   // already current
    e.click({e.title->tabRect(4).center().x(), 4});  // above the tab row
    QVERIFY(e.calls.empty());
    e.clickTab(4);
    QCOMPARE(e.last(), (TitleCall{&e.owner, 5, 1, 0}));
    QCOMPARE(e.title->channelRect(0).x(), e.title->tabRect(5).right() + 1 + 32);
    QCOMPARE(e.title->channelRect(7).width(), 58);
    QCOMPARE(e.title->channelLabel(7), QStringLiteral("Out 8"));

    e.clickChannel(2);
    e.clickChannel(2);  // already selected
    QCOMPARE(e.calls.size(), 2u);
    QCOMPARE(e.last(), (TitleCall{&e.owner, 5, 3, 0x04}));
    e.clickTab(3);
    QCOMPARE(e.title->channelCount(), 4);
    QCOMPARE(e.title->channelLabel(3), QStringLiteral("In D"));
    e.clickTab(4);  // the tab remembers its channel
    QCOMPARE(e.last(), (TitleCall{&e.owner, 5, 3, 0}));

    e.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e.window));
    e.window.resize(700, 120);
    QCOMPARE(e.title->width(), 700);
}

void TestTitle::linkGroupsThroughClicks() {
    Editor e;
    e.clickTab(4);
    e.clickIcon(1);  // output 1 has not pressed its own icon: nothing
    e.clickIcon(0);
    QVERIFY(e.boxes.shown().empty());
    QCOMPARE(e.calls.size(), 1u);

    e.boxes.answer(MsgAnswer::Yes);
    e.clickIcon(1);
    const MessageRequest& asked = e.boxes.shown().at(0);
    QCOMPARE(asked.caption, QStringLiteral("EQ Control"));
    QCOMPARE(asked.text, QStringLiteral("Do you want to bind the chunnel?"));
    QCOMPARE(asked.icon, MsgIcon::Question);
    QCOMPARE(asked.buttons, MsgButtons::YesNoCancel);
    QCOMPARE(e.last(), (TitleCall{&e.owner, 5, 1 + 256 * 2, 3}));
    QCOMPARE(e.title->links(4).word(1), 0x0103);
    const QColor blue(0, 0, 220);
    QVERIFY(e.labelIn(0, blue) && e.labelIn(1, blue));
    QVERIFY(!e.labelIn(2, blue) && e.labelIn(2, Qt::black));

    e.boxes.answer(MsgAnswer::Yes);
    e.clickIcon(2);
    QCOMPARE(e.last(), (TitleCall{&e.owner, 5, 1 + 256 * 3, 7}));
    e.boxes.answer(MsgAnswer::No);
    e.boxes.answer(MsgAnswer::Cancel);
    e.clickIcon(5);
    e.clickIcon(6);
    QCOMPARE(e.calls.size(), 3u);
    QCOMPARE(e.title->links(4).word(5), 0);

    e.clickIcon(2);
    QCOMPARE(e.last(), (TitleCall{&e.owner, 5, 1, 3}));
    e.clickIcon(1);  // the pair goes, and its colour with it
    QCOMPARE(e.last(), (TitleCall{&e.owner, 5, 1, 0}));
    QVERIFY(!e.labelIn(0, blue) && !e.labelIn(1, blue));
    e.clickChannel(1);
    e.clickIcon(3);  // output 2's word is 0: it cannot bind yet
    QCOMPARE(e.boxes.shown().size(), 4u);
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
    QVERIFY(e.labelIn(4, CQelTitle::groupColour(2)));
    QCOMPARE(CQelTitle::groupColour(2), QColor(220, 0, 0));

    e.clickChannel(0);
    e.clickIcon(5);
    QCOMPARE(e.last(), (TitleCall{&e.owner, 5, 1 + 256 * 6, 0x23}));
    QVERIFY(e.labelIn(5, QColor(0, 0, 220)));
    QVERIFY(e.labelIn(4, Qt::black) && !e.labelIn(4, CQelTitle::groupColour(2)));

    e.clickTab(3);  // the input tab has links of its own
    QCOMPARE(e.last(), (TitleCall{&e.owner, 4, 1, 0}));
    QVERIFY(e.labelIn(0, Qt::black) && !e.labelIn(0, QColor(0, 0, 220)));
}

void TestTitle::hoverFollowsThePointer() {
    Editor e;
    e.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e.window));
    e.clickTab(4);
    QTest::mouseMove(e.title, e.title->tabRect(2).center());
    QCOMPARE(e.title->hoverTab(), 2);
    QTest::mouseMove(e.title, e.title->channelRect(6).center());
    QCOMPARE(e.title->hoverTab(), -1);
    QCOMPARE(e.title->hoverChannel(), 6);
    QTest::mouseMove(e.title, {e.title->channelRect(6).center().x(), 3});
    QCOMPARE(e.title->hoverChannel(), -1);
    QTest::mouseMove(e.title, e.title->channelRect(6).center());
    QTest::mouseMove(e.title, {10, 60});  // off the strip
    QCOMPARE(e.title->hoverChannel(), -1);
}

QTEST_MAIN(TestTitle)
#include "tst_title.moc"

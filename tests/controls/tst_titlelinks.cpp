// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>

#include "controls/TitleLinks.h"

using qel::TitleLinks;

namespace {

// The bind question's answer; counts how often it was asked.
struct Answer {
    bool yes = true;
    int asked = 0;
    std::function<bool()> operator()() {
        return [this] { return ++asked, yes; };
    }
};

// s presses its own icon, then binds each of the others.
void formGroup(TitleLinks& links, int s, std::initializer_list<int> others) {
    Answer yes;
    links.pressIcon(s, s, yes());
    for (const int b : others) links.pressIcon(s, b, yes());
}

QString words(const TitleLinks& links) {
    QStringList list;
    for (int c = 0; c < TitleLinks::kChannels; ++c)
        list << QStringLiteral("%1").arg(links.word(c), 4, 16, QLatin1Char('0'));
    return list.join(u' ');
}

}  // namespace

class TestTitleLinks : public QObject {
    Q_OBJECT

private slots:
    void bindAThirdThenUnlinkThePair();
    void bindingAMemberOfAnotherGroupTakesItFromThere();
    void refusedBindsAndUnreadyChannelsChangeNothing();
    void dissolvedGroupsFreeTheLowestNumber();
};

void TestTitleLinks::bindAThirdThenUnlinkThePair() {
    TitleLinks links;
    Answer answer;
    QVERIFY(!links.pressIcon(0, 0, answer()));  // own icon: ready, nothing reported
    QCOMPARE(links.word(0), 0x0001);
    auto report = links.pressIcon(0, 1, answer());
    QCOMPARE(answer.asked, 1);
    QCOMPARE(report->value, 1 + 256 * 2);
    QCOMPARE(report->mask, 3);
    QCOMPARE(words(links), QStringLiteral("0103 0103 0000 0000 0000 0000 0000 0000"));

    report = links.pressIcon(0, 4, answer());
    QCOMPARE(report->value, 1 + 256 * 5);
    QCOMPARE(report->mask, 0x13);
    QCOMPARE(words(links), QStringLiteral("0113 0113 0000 0000 0113 0000 0000 0000"));

    report = links.pressIcon(0, 4, answer());  // linked: taken out, no question
    QCOMPARE(report->mask, 3);
    QVERIFY(links.groupInUse(1));
    report = links.pressIcon(0, 1, answer());  // the pair is gone with its number
    QCOMPARE(answer.asked, 2);
    QCOMPARE(report->value, 1);
    QCOMPARE(report->mask, 0);
    QCOMPARE(words(links), QStringLiteral("0001 0000 0000 0000 0000 0000 0000 0000"));
    QVERIFY(!links.groupInUse(1));
}

void TestTitleLinks::bindingAMemberOfAnotherGroupTakesItFromThere() {
    TitleLinks links;
    formGroup(links, 0, {1});
    formGroup(links, 2, {3});
    QCOMPARE(links.group(3), 2);
    const auto report = links.pressIcon(0, 3, Answer()());
    QCOMPARE(report->value, 1 + 256 * 4);
    QCOMPARE(report->mask, 0x0B);
    // 2 is left alone: it keeps its own bit but loses its group.
    QCOMPARE(words(links), QStringLiteral("010b 010b 0004 010b 0000 0000 0000 0000"));
    QVERIFY(!links.groupInUse(2));
}

void TestTitleLinks::refusedBindsAndUnreadyChannelsChangeNothing() {
    TitleLinks links;
    formGroup(links, 0, {1});
    formGroup(links, 2, {3});
    const QString before = words(links);
    const int mask = links.linkMask();
    Answer no{false};
    QVERIFY(!links.pressIcon(0, 3, no()));
    QVERIFY(!links.pressIcon(0, 5, no()));
    QCOMPARE(no.asked, 2);
    QVERIFY(!links.pressIcon(5, 6, no()));  // 5 never pressed its own icon
    QCOMPARE(no.asked, 2);
    QCOMPARE(words(links), before);
    QCOMPARE(links.linkMask(), mask);
}

void TestTitleLinks::dissolvedGroupsFreeTheLowestNumber() {
    TitleLinks links;
    formGroup(links, 0, {1});
    formGroup(links, 3, {2, 7});
    formGroup(links, 4, {5});
    const auto report = links.pressIcon(2, 2, Answer()());  // any member dissolves
    QCOMPARE(report->value, 3);
    QCOMPARE(report->mask, 0);
    QCOMPARE(words(links), QStringLiteral("0103 0103 0000 0000 0330 0330 0000 0000"));
    formGroup(links, 6, {7});
    QCOMPARE(links.group(6), 2);
    QVERIFY(links.groupInUse(1) && links.groupInUse(2) && links.groupInUse(3));
}

QTEST_APPLESS_MAIN(TestTitleLinks)
#include "tst_titlelinks.moc"

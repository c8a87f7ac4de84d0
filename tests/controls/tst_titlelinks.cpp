#include <QtTest>

#include "controls/TitleLinks.h"

using qel::TitleLinks;

namespace {

// Answers the bind question and counts how often it was asked.
struct Answer {
    bool yes = true;
    int asked = 0;
    std::function<bool()> operator()() {
        return [this] {
            ++asked;
            return yes;
        };
    }
};

// Presses s's own icon (making it ready) and binds each of others to it.
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
    void ownIconMakesTheSelectedChannelReady();
    void bindingTwoChannelsFormsGroupOne();
    void bindingAThirdChannelKeepsTheGroup();
    void unlinkingFromAPairFreesTheGroup();
    void unlinkingFromALargerGroupKeepsItsNumber();
    void bindingAMemberOfAnotherGroupTakesItFromThere();
    void refusedBindChangesNothing();
    void ownIconOnAGroupDissolvesIt();
    void newGroupsTakeTheLowestFreeNumber();
};

void TestTitleLinks::ownIconMakesTheSelectedChannelReady() {
    TitleLinks links;
    Answer answer;
    QVERIFY(!links.pressIcon(0, 1, answer()));  // not ready: other icons do nothing
    QCOMPARE(words(links), QStringLiteral("0000 0000 0000 0000 0000 0000 0000 0000"));
    QVERIFY(!links.pressIcon(0, 0, answer()));  // ready, but no group changed
    QCOMPARE(links.word(0), 0x0001);
    QCOMPARE(answer.asked, 0);
    QCOMPARE(links.linkMask(), 0);
}

void TestTitleLinks::bindingTwoChannelsFormsGroupOne() {
    TitleLinks links;
    Answer yes;
    links.pressIcon(0, 0, yes());
    const auto report = links.pressIcon(0, 1, yes());
    QVERIFY(report);
    QCOMPARE(yes.asked, 1);
    QCOMPARE(report->value, 1 + 256 * 2);
    QCOMPARE(report->mask, 3);
    QCOMPARE(links.linkMask(), 3);
    QCOMPARE(links.word(0), 0x0103);
    QCOMPARE(links.word(1), 0x0103);
    QCOMPARE(links.group(1), 1);
    QVERIFY(links.groupInUse(1));
}

void TestTitleLinks::bindingAThirdChannelKeepsTheGroup() {
    TitleLinks links;
    formGroup(links, 0, {1});
    Answer yes;
    const auto report = links.pressIcon(0, 4, yes());
    QCOMPARE(report->value, 1 + 256 * 5);
    QCOMPARE(report->mask, 0x13);
    QCOMPARE(words(links), QStringLiteral("0113 0113 0000 0000 0113 0000 0000 0000"));
    QVERIFY(!links.groupInUse(2));
}

void TestTitleLinks::unlinkingFromAPairFreesTheGroup() {
    TitleLinks links;
    formGroup(links, 0, {1});
    Answer answer;
    const auto report = links.pressIcon(0, 1, answer());  // 1 is linked with 0: take it out
    QCOMPARE(answer.asked, 0);
    QCOMPARE(report->value, 1);
    QCOMPARE(report->mask, 0);
    QCOMPARE(links.word(0), 0x0001);  // no group, still ready
    QCOMPARE(links.word(1), 0x0000);
    QVERIFY(!links.groupInUse(1));

    // Channel 1 must press its own icon before it can bind others.
    QVERIFY(!links.pressIcon(1, 2, answer()));
    QCOMPARE(answer.asked, 0);
    links.pressIcon(1, 1, answer());
    QVERIFY(links.pressIcon(1, 2, answer()));
    QCOMPARE(links.word(2), 0x0106);
}

void TestTitleLinks::unlinkingFromALargerGroupKeepsItsNumber() {
    TitleLinks links;
    formGroup(links, 0, {1, 2});
    Answer answer;
    const auto report = links.pressIcon(0, 2, answer());
    QCOMPARE(report->value, 1);
    QCOMPARE(report->mask, 3);
    QCOMPARE(words(links), QStringLiteral("0103 0103 0000 0000 0000 0000 0000 0000"));
    QVERIFY(links.groupInUse(1));
}

void TestTitleLinks::bindingAMemberOfAnotherGroupTakesItFromThere() {
    TitleLinks links;
    formGroup(links, 0, {1});
    formGroup(links, 2, {3});
    QCOMPARE(links.group(3), 2);

    Answer yes;
    const auto report = links.pressIcon(0, 3, yes());
    QCOMPARE(yes.asked, 1);
    QCOMPARE(report->value, 1 + 256 * 4);
    QCOMPARE(report->mask, 0x0B);
    // Channel 2 is left alone: it keeps its own bit but loses its colour.
    QCOMPARE(words(links), QStringLiteral("010b 010b 0004 010b 0000 0000 0000 0000"));
    QVERIFY(!links.groupInUse(2));
}

void TestTitleLinks::refusedBindChangesNothing() {
    TitleLinks links;
    formGroup(links, 0, {1});
    formGroup(links, 2, {3});
    const QString before = words(links);
    const int mask = links.linkMask();
    Answer no{false};
    QVERIFY(!links.pressIcon(0, 3, no()));
    QVERIFY(!links.pressIcon(0, 5, no()));
    QCOMPARE(no.asked, 2);
    QCOMPARE(words(links), before);
    QCOMPARE(links.linkMask(), mask);
}

void TestTitleLinks::ownIconOnAGroupDissolvesIt() {
    TitleLinks links;
    formGroup(links, 1, {0, 5});
    Answer answer;
    const auto report = links.pressIcon(1, 1, answer());
    QCOMPARE(report->value, 2);
    QCOMPARE(report->mask, 0);
    QCOMPARE(words(links), QStringLiteral("0000 0000 0000 0000 0000 0000 0000 0000"));
    QVERIFY(!links.groupInUse(1));

    // A ready channel alone dissolves into word 0 too, without touching group numbers.
    formGroup(links, 2, {3});
    links.pressIcon(4, 4, answer());
    QVERIFY(links.pressIcon(4, 4, answer()));
    QCOMPARE(links.word(4), 0);
    QVERIFY(links.groupInUse(1));
}

void TestTitleLinks::newGroupsTakeTheLowestFreeNumber() {
    TitleLinks links;
    formGroup(links, 0, {1});
    formGroup(links, 2, {3});
    formGroup(links, 4, {5});
    QCOMPARE(links.group(4), 3);
    Answer answer;
    links.pressIcon(2, 2, answer());  // dissolve group 2
    QVERIFY(!links.groupInUse(2));
    formGroup(links, 6, {7});
    QCOMPARE(links.group(6), 2);
    QCOMPARE(links.group(7), 2);
    QVERIFY(links.groupInUse(1) && links.groupInUse(2) && links.groupInUse(3));
}

QTEST_APPLESS_MAIN(TestTitleLinks)
#include "tst_titlelinks.moc"

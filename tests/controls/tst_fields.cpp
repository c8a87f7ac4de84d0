// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QtTest>

#include <QClipboard>

#include "controls/ControlStyle.h"
#include "controls/ControlTestSupport.h"
#include "controls/QelBtn.h"
#include "controls/QelButton.h"
#include "controls/QelCheckBtn.h"
#include "controls/QelComboBox.h"
#include "controls/QelIOSelPoint.h"
#include "controls/QelStatic.h"
#include "controls/QelTStatic.h"
#include "controls/QelText.h"

using namespace qel;
using qel::test::Call;
using qel::test::Calls;

namespace {

// What edit boxes reported, in order: "text:<id>:<text>" and "focus:<id>".
struct EditLog {
    QObject owner;
    QStringList events;
    void attach(CQelText& edit, int id) {
        const auto mine = [this](QObject* o) { return o == &owner ? "" : "wrong owner "; };
        edit.setCallbacks(
            &owner, id,
            [=, this](QObject* o, int i, const QString& t) {
                events << mine(o) + QStringLiteral("text:%1:%2").arg(i).arg(t);
            },
            [=, this](QObject* o, int i) {
                events << mine(o) + QStringLiteral("focus:%1").arg(i);
            });
    }
};

}  // namespace

class TestFields : public QObject {
    Q_OBJECT

private slots:
    void controlsAreNamedAfterTheirClassAndUseTahoma();
    void typedTextStaysAsTypedAndEnterReportsIt();
    void losingTheFocusCommits();
    void aTextTooWideShowsItsStart();
    void comboBoxReportsTheUsersSelectionOnly();
    void drawTextFormatMapsToQtFlags_data();
    void drawTextFormatMapsToQtFlags();
    void labelsPaintTheirBackgroundAndText();
};

void TestFields::controlsAreNamedAfterTheirClassAndUseTahoma() {
    QWidget parent;
    const QList<QWidget*> controls = {new CQelBtn(&parent),         new CQelButton(&parent),
                                      new CQelCheckBtn(&parent),    new CQelIOSelPoint(&parent),
                                      new CQelTStatic({}, &parent), new CQelStatic({}, 0, &parent),
                                      new CQelComboBox(&parent),    new CQelText(&parent)};
    for (QWidget* w : controls) {
        const QString name = QString::fromLatin1(w->metaObject()->className()).section(u':', -1);
        QCOMPARE(w->objectName(), QStringLiteral("Qel.") + name);
        QCOMPARE(w->font().families().value(0), QStringLiteral("Tahoma"));
    }
    // Lines as high as the given font heights.
    QCOMPARE(QFontMetrics(controls.last()->font()).height(), 13);
    QCOMPARE(QFontMetrics(controls.at(4)->font()).height(), 15);
    QCOMPARE(controls.at(4)->font().weight(), QFont::Bold);
}

// A box that dropped the keys it did not take turned "6,5" into "65": every character stays.
void TestFields::typedTextStaysAsTypedAndEnterReportsIt() {
    EditLog log;
    CQelText edit;
    log.attach(edit, 5);
    QTest::keyClicks(&edit, QStringLiteral("6,5 dB"));
    QTest::keyClick(&edit, Qt::Key_Home);  // keys without characters still work
    QTest::keyClicks(&edit, QStringLiteral("x"));
    QGuiApplication::clipboard()->setText(QStringLiteral("/k"));
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("x6,5 dB/k"));
    QVERIFY(log.events.isEmpty());
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(log.events,
             (QStringList{QStringLiteral("text:5:x6,5 dB/k"), QStringLiteral("focus:5")}));

    // A refused text is marked until the box is given its next text.
    const QColor base = edit.palette().color(QPalette::Base);
    edit.showRefused(QStringLiteral("why"));
    QVERIFY(edit.refused());
    QCOMPARE(edit.toolTip(), QStringLiteral("why"));
    QVERIFY(edit.palette().color(QPalette::Base) != base);
    edit.setText(QStringLiteral("+0.0 dB"));
    QVERIFY(!edit.refused());
    QVERIFY(edit.toolTip().isEmpty());
    QCOMPARE(edit.palette().color(QPalette::Base), base);

    // Typing stops at the 31 characters a commit reports.
    edit.clear();
    QTest::keyClicks(&edit, QString(33, u'k'));
    QTest::keyClick(&edit, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(edit.text(), QString(31, u'k'));
    QCOMPARE(log.events.at(2), QStringLiteral("text:5:") + QString(31, u'k'));
}

void TestFields::losingTheFocusCommits() {
    EditLog log;  // outlives the boxes, which commit when their window goes
    QWidget host;
    auto* first = new CQelText(&host);
    auto* second = new CQelText(&host);
    second->move(0, 40);
    log.attach(*first, 1);
    log.attach(*second, 2);
    host.show();
    host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&host));
    first->setFocus();
    QTRY_VERIFY(first->hasFocus());
    QTest::keyClicks(first, QStringLiteral("250"));
    second->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(second->hasFocus());
    QCOMPARE(log.events, (QStringList{QStringLiteral("focus:1"), QStringLiteral("text:1:250"),
                                      QStringLiteral("focus:1"), QStringLiteral("focus:2")}));
}

// Two texts that differ only at their ends look alike in a box too narrow for them.
void TestFields::aTextTooWideShowsItsStart() {
    CQelText box;
    box.resize(56, 20);
    box.setAlignment(Qt::AlignCenter);
    const QString wide = QStringLiteral("1234567890123456 Hz");
    box.setText(wide);
    QVERIFY(box.fontMetrics().horizontalAdvance(wide) > box.textArea().width());
    const QImage start = box.grab().toImage();
    box.setText(QStringLiteral("1234567890123456 Hx"));
    QCOMPARE(box.grab().toImage(), start);
    box.setText(QStringLiteral("2234567890123456 Hz"));
    QVERIFY(box.grab().toImage() != start);
}

void TestFields::comboBoxReportsTheUsersSelectionOnly() {
    QObject owner;
    Calls calls;
    CQelComboBox combo;
    combo.addItems({QStringLiteral("毫秒"), QStringLiteral("米"), QStringLiteral("英尺")});
    combo.setCallback(&owner, 31, calls.callback());
    combo.setCurrentIndex(2);  // set by the program: no report
    QTest::keyClick(&combo, Qt::Key_Up);
    QTest::keyClick(&combo, Qt::Key_Up);
    QCOMPARE(combo.currentIndex(), 0);
    QCOMPARE(calls.list, (std::vector<Call>{{&owner, 31, 1}, {&owner, 31, 0}}));
}

void TestFields::drawTextFormatMapsToQtFlags_data() {
    QTest::addColumn<unsigned>("format");
    QTest::addColumn<int>("flags");
    const auto row = [](const char* name, unsigned format, auto flags) {
        QTest::newRow(name) << format << int(flags);
    };
    const int mnemonic = Qt::TextShowMnemonic;
    row("centre", dt::kCenter, Qt::AlignHCenter | Qt::AlignTop | mnemonic);
    row("right, no prefix", dt::kRight | dt::kNoPrefix, Qt::AlignRight | Qt::AlignTop);
    row("vcentre needs one line", dt::kVCenter, Qt::AlignLeft | Qt::AlignTop | mnemonic);
    row("one line, vcentre", dt::kSingleLine | dt::kVCenter | dt::kRight,
        Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine | mnemonic);
    row("word break, no clip", dt::kWordBreak | dt::kNoClip | dt::kNoPrefix,
        Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextDontClip);
}

void TestFields::drawTextFormatMapsToQtFlags() {
    QFETCH(unsigned, format);
    QFETCH(int, flags);
    QCOMPARE(qtTextFlags(format), flags);
}

void TestFields::labelsPaintTheirBackgroundAndText() {
    CQelStatic label(QStringLiteral("Level ->"), dt::kRight);
    label.resize(120, 20);
    QImage image = test::shot(label);
    QCOMPARE(image.pixelColor(0, 0), QColor(238, 238, 238));
    const auto inkIn = [&](QRect area) { return test::hasColour(image, area, Qt::black, 90); };
    QVERIFY(inkIn({60, 0, 60, 20}) && !inkIn({0, 0, 50, 20}));
    label.setFormat(dt::kLeft);
    image = test::shot(label);
    QVERIFY(inkIn({0, 0, 50, 20}) && !inkIn({70, 0, 50, 20}));

    CQelTStatic caption;  // no text: the shot is the plate alone
    QVERIFY(test::showsRow(caption, skinid::kChannelCaption, 0));
    caption.resize(32, 20);
    QVERIFY(test::showsRow(caption, skinid::kChannelCaption, 20));
    caption.setText(QStringLiteral("In"));
    QVERIFY(!test::showsRow(caption, skinid::kChannelCaption, 20));
}

QTEST_MAIN(TestFields)
#include "tst_fields.moc"

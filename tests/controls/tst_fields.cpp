#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>

#include "controls/ControlStyle.h"
#include "controls/ControlTestSupport.h"
#include "controls/QelComboBox.h"
#include "controls/QelStatic.h"
#include "controls/QelTStatic.h"
#include "controls/QelText.h"

using namespace qel;
using qel::test::Call;
using qel::test::Calls;

namespace {

// Everything an edit box reported, in order: "text:<id>:<text>" and "focus:<id>".
struct EditLog {
    QObject owner;
    QStringList events;
    void attach(CQelText& edit, int id) {
        edit.setCallbacks(
            &owner, id,
            [this](QObject* o, int i, const QString& text) {
                events << (o == &owner ? QStringLiteral("text:%1:%2").arg(i).arg(text)
                                       : QStringLiteral("wrong owner"));
            },
            [this](QObject* o, int i) {
                events << (o == &owner ? QStringLiteral("focus:%1").arg(i)
                                       : QStringLiteral("wrong owner"));
            });
    }
};

// An active window holding two edit boxes.
struct EditHost {
    QWidget window;
    CQelText* first = new CQelText(&window);
    CQelText* second = new CQelText(&window);
    EditHost() {
        window.resize(200, 80);
        second->move(0, 40);
    }
    bool activate() {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

}  // namespace

class TestFields : public QObject {
    Q_OBJECT

private slots:
    void controlsAreNamedAfterTheirClass();
    void digitsOnlyBoxDiscardsLettersAndEnterReportsTheText();
    void digitsOnlyBoxStillEditsAndMoves();
    void digitsOnlyBoxRefusesKeyboardPaste();
    void boxWithoutTheFilterTakesAnyText();
    void losingTheFocusCommitsAndTheNewBoxReportsItsFocus();
    void commitReportsAtMost31Characters();
    void comboBoxReportsTheUsersSelectionOnly();
    void drawTextFormatMapsToQtFlags_data();
    void drawTextFormatMapsToQtFlags();
    void staticLabelFillsItsClientAndAlignsItsText();
    void captionPicksThePlateByWidth();
};

void TestFields::controlsAreNamedAfterTheirClass() {
    QCOMPARE(CQelText().objectName(), QStringLiteral("Qel.CQelText"));
    QCOMPARE(CQelComboBox().objectName(), QStringLiteral("Qel.CQelComboBox"));
    QCOMPARE(CQelStatic().objectName(), QStringLiteral("Qel.CQelStatic"));
    QCOMPARE(CQelTStatic().objectName(), QStringLiteral("Qel.CQelTStatic"));
    QCOMPARE(CQelText().font().pixelSize(), 13);
    QCOMPARE(CQelTStatic().font().weight(), QFont::Bold);
}

void TestFields::digitsOnlyBoxDiscardsLettersAndEnterReportsTheText() {
    EditLog log;
    CQelText edit;
    log.attach(edit, 5);
    QVERIFY(edit.digitsOnly());
    QTest::keyClicks(&edit, QStringLiteral("12"));
    QTest::keyClicks(&edit, QStringLiteral("a"));
    QCOMPARE(edit.text(), QStringLiteral("12"));
    QTest::keyClicks(&edit, QStringLiteral("x .+-Q5/"));
    QCOMPARE(edit.text(), QStringLiteral("12.+-5"));
    QVERIFY(log.events.isEmpty());

    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(log.events, (QStringList{QStringLiteral("text:5:12.+-5"), QStringLiteral("focus:5")}));
    QTest::keyClick(&edit, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(log.events.size(), 4);
}

void TestFields::digitsOnlyBoxStillEditsAndMoves() {
    CQelText edit;
    QTest::keyClicks(&edit, QStringLiteral("1000"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClicks(&edit, QStringLiteral("-5"));
    QCOMPARE(edit.text(), QStringLiteral("-500"));
}

void TestFields::digitsOnlyBoxRefusesKeyboardPaste() {
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    if (QGuiApplication::clipboard()->text() != QStringLiteral("abc"))
        QSKIP("no clipboard on this platform");
    CQelText edit;
    edit.setText(QStringLiteral("7"));
    edit.end(false);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("7"));
    edit.setDigitsOnly(false);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("7abc"));
}

void TestFields::boxWithoutTheFilterTakesAnyText() {
    CQelText edit;
    edit.setDigitsOnly(false);
    QTest::keyClicks(&edit, QStringLiteral("Hz 1k"));
    QCOMPARE(edit.text(), QStringLiteral("Hz 1k"));
}

void TestFields::losingTheFocusCommitsAndTheNewBoxReportsItsFocus() {
    EditLog log;  // outlives the boxes, which commit when their window goes
    EditHost host;
    log.attach(*host.first, 1);
    log.attach(*host.second, 2);
    QVERIFY(host.activate());
    host.first->setFocus();
    QTRY_VERIFY(host.first->hasFocus());
    QCOMPARE(log.events, QStringList{QStringLiteral("focus:1")});

    QTest::keyClicks(host.first, QStringLiteral("250"));
    host.second->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(host.second->hasFocus());
    QCOMPARE(log.events, (QStringList{QStringLiteral("focus:1"), QStringLiteral("text:1:250"),
                                      QStringLiteral("focus:1"), QStringLiteral("focus:2")}));
}

void TestFields::commitReportsAtMost31Characters() {
    QString reported;
    CQelText edit;
    edit.setCallbacks(nullptr, 0, [&](QObject*, int, const QString& t) { reported = t; }, {});
    edit.setText(QString(40, u'9'));
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(reported, QString(31, u'9'));
}

void TestFields::comboBoxReportsTheUsersSelectionOnly() {
    QObject owner;
    Calls calls;
    CQelComboBox combo;
    combo.addItems({QStringLiteral("毫秒"), QStringLiteral("米"), QStringLiteral("英尺")});
    combo.setCallback(&owner, 31, calls.callback());

    combo.setCurrentIndex(2);  // set by the program: no report
    QVERIFY(calls.list.empty());
    QTest::keyClick(&combo, Qt::Key_Up);
    QTest::keyClick(&combo, Qt::Key_Up);
    QCOMPARE(combo.currentIndex(), 0);
    QCOMPARE(calls.list, (std::vector<Call>{{&owner, 31, 1}, {&owner, 31, 0}}));
}

void TestFields::drawTextFormatMapsToQtFlags_data() {
    QTest::addColumn<unsigned>("format");
    QTest::addColumn<int>("flags");
    const auto row = [](const char* name, unsigned format, auto flags) {
        QTest::newRow(name) << format << int(flags | Qt::TextShowMnemonic);
    };
    const auto plain = [](const char* name, unsigned format, auto flags) {
        QTest::newRow(name) << format << int(flags);
    };
    row("left", dt::kLeft, Qt::AlignLeft | Qt::AlignTop);
    row("centre", dt::kCenter, Qt::AlignHCenter | Qt::AlignTop);
    plain("right, no prefix", dt::kRight | dt::kNoPrefix, Qt::AlignRight | Qt::AlignTop);
    row("vcentre needs single line", dt::kCenter | dt::kVCenter, Qt::AlignHCenter | Qt::AlignTop);
    row("single line, vcentre", dt::kSingleLine | dt::kVCenter | dt::kRight,
        Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine);
    row("single line, bottom", dt::kSingleLine | dt::kBottom,
        Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine);
    row("word break, no clip", dt::kWordBreak | dt::kNoClip | dt::kExpandTabs,
        Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextDontClip | Qt::TextExpandTabs);
    row("word break ignored on one line", dt::kWordBreak | dt::kSingleLine,
        Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine);
}

void TestFields::drawTextFormatMapsToQtFlags() {
    QFETCH(unsigned, format);
    QFETCH(int, flags);
    QCOMPARE(qtTextFlags(format), flags);
}

void TestFields::staticLabelFillsItsClientAndAlignsItsText() {
    CQelStatic label(QStringLiteral("Level ->"), dt::kRight);
    label.resize(120, 20);
    QImage image = test::shot(label);
    QCOMPARE(image.pixelColor(0, 0), QColor(238, 238, 238));
    QCOMPARE(image.pixelColor(119, 19), QColor(238, 238, 238));
    const auto inkIn = [&](QRect area) { return test::hasColour(image, area, Qt::black, 90); };
    QVERIFY(inkIn({60, 0, 60, 20}));
    QVERIFY(!inkIn({0, 0, 50, 20}));

    label.setFormat(dt::kLeft);
    image = test::shot(label);
    QVERIFY(inkIn({0, 0, 50, 20}));
    QVERIFY(!inkIn({70, 0, 50, 20}));
}

void TestFields::captionPicksThePlateByWidth() {
    CQelTStatic caption;  // no text: the shot is the plate alone
    caption.resize(64, 20);
    QVERIFY(test::showsRow(caption, skinid::kChannelCaption, 0));
    caption.resize(32, 20);
    QVERIFY(test::showsRow(caption, skinid::kChannelCaption, 20));

    caption.setText(QStringLiteral("Input A"));
    QVERIFY(!test::showsRow(caption, skinid::kChannelCaption, 20));
}

QTEST_MAIN(TestFields)
#include "tst_fields.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The sizing docking bar and the main window placement.
#include <QLabel>
#include <QMainWindow>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include "shell/SizingControlBar.h"
#include "shell/WindowPlacement.h"

using namespace qel;

namespace {

using Bar = CSizingControlBar;
const QString kProfile = QStringLiteral("qel.Panel");
const QSize kScreen(1920, 1080);

// A main window with the equipment panel's kind of bar docked on the left.
struct Frame {
    QMainWindow window;
    Bar* bar;
    explicit Frame(int id = 123) : bar(new Bar(QStringLiteral("Equipment Panel"), id, &window)) {
        window.setCentralWidget(new QWidget);
        bar->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
        bar->setSizingStyle(Bar::DrawEdges | Bar::SizeChild);
        bar->setChild(new QLabel(QStringLiteral("list")));
        window.addDockWidget(Qt::LeftDockWidgetArea, bar);
        window.resize(900, 700);
    }
    void show() {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        settle();
    }
    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
};

void writeIni(const QString& path, const QString& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
    QTextStream(&file) << text;
}

QString readIni(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(file.readAll())
                                                            : QString();
}

}  // namespace

class ChromeDockTest : public QObject {
    Q_OBJECT
    QTemporaryDir profileDir_;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(profileDir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profileDir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, profileDir_.path());
    }
    void init() { QSettings(Bar::kProfileOrganisation, Bar::kProfileApplication).clear(); }

    void freshProfileGivesInitialSizeEverywhere() {
        Frame f;
        f.bar->loadState(kProfile);
        const QSize initial(180, 260);
        QCOMPARE(f.bar->horzSize(), initial);
        QCOMPARE(f.bar->vertSize(), initial);
        QCOMPARE(f.bar->floatSize(), initial);
        QCOMPARE(f.bar->fixedLayout(false, true), initial);
        QCOMPARE(f.bar->fixedLayout(false, false), initial);
        QCOMPARE(f.bar->sizeHint(), initial);
        f.show();
        QCOMPARE(f.bar->width(), 180);
        // The stretched queries run along the dock.
        QCOMPARE(f.bar->fixedLayout(true, true), QSize(32767, 260));
        QCOMPARE(f.bar->fixedLayout(true, false).width(), 180);
        QCOMPARE(f.bar->fixedLayout(true, false).height(), 32767);
    }

    void savedSizesBelowMinimumAreIgnored() {
        QSettings profile(Bar::kProfileOrganisation, Bar::kProfileApplication);
        profile.setValue("qel.Panel-SCBar-123/sizeVertCX", 100);
        profile.setValue("qel.Panel-SCBar-123/sizeVertCY", 400);
        profile.setValue("qel.Panel-SCBar-123/sizeHorzCY", 259);
        profile.setValue("qel.Panel-SCBar-123/sizeFloatCX", "wide");
        profile.setValue("qel.Panel-SCBar-99/sizeVertCX", 333);  // another bar's section
        profile.sync();
        Frame f;
        f.bar->loadState(kProfile);
        QCOMPARE(f.bar->vertSize(), QSize(180, 400));
        QCOMPARE(f.bar->horzSize(), QSize(180, 260));
        QCOMPARE(f.bar->floatSize(), QSize(180, 260));

        profile.setValue("qel.Panel-SCBar-123/sizeVertCX", 250);
        profile.sync();
        f.bar->loadState(kProfile);
        QCOMPARE(f.bar->vertSize(), QSize(250, 400));
        f.show();
        QCOMPARE(f.bar->width(), 250);
    }

    void verticalWidthShownAtMost600() {
        QSettings profile(Bar::kProfileOrganisation, Bar::kProfileApplication);
        profile.setValue("qel.Panel-SCBar-123/sizeVertCX", 700);
        profile.setValue("qel.Panel-SCBar-123/sizeHorzCX", 700);
        profile.sync();
        Frame f;
        f.window.resize(1400, 800);
        f.bar->loadState(kProfile);
        QCOMPARE(f.bar->vertSize().width(), 700);
        QCOMPARE(f.bar->fixedLayout(false, false).width(), 600);
        QCOMPARE(f.bar->fixedLayout(false, true).width(), 700);  // no cap along a top row
        f.show();
        QCOMPARE(f.bar->width(), 600);
        // Nor can the user drag it wider.
        f.window.resizeDocks({f.bar}, {800}, Qt::Horizontal);
        Frame::settle();
        QCOMPARE(f.bar->width(), 600);
    }

    void floatingRequestsAreLimited() {
        Frame f;
        QCOMPARE(f.bar->floatingLayout(100, Qt::Horizontal), QSize(180, 260));
        QCOMPARE(f.bar->floatingLayout(900, Qt::Horizontal), QSize(600, 260));
        QCOMPARE(f.bar->floatingLayout(300, Qt::Vertical), QSize(600, 300));
        QCOMPARE(f.bar->floatingLayout(10, Qt::Vertical), QSize(600, 260));
        QCOMPARE(f.bar->floatSize(), QSize(600, 260));
    }

    void userSizesAreKeptAndSaved() {
        Frame f;
        f.show();
        f.window.resizeDocks({f.bar}, {320}, Qt::Horizontal);
        Frame::settle();
        QCOMPARE(f.bar->width(), 320);
        QCOMPARE(f.bar->vertSize().width(), 320);
        QCOMPARE(f.bar->vertSize().height(), f.bar->height());
        f.window.resizeDocks({f.bar}, {120}, Qt::Horizontal);  // below the minimum
        Frame::settle();
        QCOMPARE(f.bar->width(), 180);
        f.window.resizeDocks({f.bar}, {320}, Qt::Horizontal);
        Frame::settle();
        f.bar->saveState(kProfile);

        QSettings profile(Bar::kProfileOrganisation, Bar::kProfileApplication);
        profile.beginGroup(Bar::sectionName(kProfile, 123));
        QCOMPARE(profile.group(), QString("qel.Panel-SCBar-123"));
        QCOMPARE(profile.childKeys().size(), 6);
        QCOMPARE(profile.value("sizeVertCX").toInt(), 320);
        QCOMPARE(profile.value("sizeVertCY").toInt(), f.bar->height());
        QCOMPARE(profile.value("sizeHorzCX").toInt(), 180);
        QCOMPARE(profile.value("sizeHorzCY").toInt(), 260);
        QCOMPARE(profile.value("sizeFloatCX").toInt(), 180);
        QCOMPARE(profile.value("sizeFloatCY").toInt(), 260);

        Frame next;  // the next run
        next.bar->loadState(kProfile);
        next.show();
        QCOMPARE(next.bar->width(), 320);
    }

    void floatingBarTakesItsFloatingSize() {
        Frame f;
        f.show();
        f.bar->floatingLayout(240, Qt::Horizontal);
        f.bar->floatingLayout(300, Qt::Vertical);
        f.bar->setFloating(true);
        Frame::settle();
        QCOMPARE(f.bar->mode(), Bar::Mode::Floating);
        QCOMPARE(f.bar->size(), QSize(240, 300));
        QCOMPARE(f.bar->sizingStyle() & Bar::EdgeMask, 0);
        QCOMPARE(f.bar->edgeAt(QPoint(2, 100)), 0);
        f.bar->setFloating(false);
        Frame::settle();
        QCOMPARE(f.bar->mode(), Bar::Mode::Vertical);
        QCOMPARE(f.bar->width(), 180);
    }

    void edgesFaceNeighboursInTheColumn() {
        Frame f;
        auto* lower = new Bar(QStringLiteral("Lower"), 124, &f.window);
        lower->setSizingStyle(Bar::DrawEdges);
        f.window.splitDockWidget(f.bar, lower, Qt::Vertical);
        f.show();
        QCOMPARE(f.bar->sizingStyle(), Bar::EdgeBottom | Bar::DrawEdges | Bar::SizeChild);
        QCOMPARE(lower->sizingStyle(), Bar::EdgeTop | Bar::DrawEdges);

        // Hit test and the child's place inside the edges.
        const QRect client = f.bar->clientRect();
        const QRect bottom = f.bar->edgeRect(Bar::EdgeBottom);
        QCOMPARE(bottom.height(), 5);
        QCOMPARE(bottom.bottom(), f.bar->height() - 1);
        QCOMPARE(client.bottom(), bottom.top() - 1);
        QCOMPARE(f.bar->edgeAt(bottom.center()), int(Bar::EdgeBottom));
        QCOMPARE(f.bar->edgeAt(client.center()), 0);
        QVERIFY(f.bar->edgeRect(Bar::EdgeTop).isEmpty());
        QCOMPARE(f.bar->child()->geometry(), client.translated(-f.bar->widget()->pos()));

        // Raised edge on the 238 grey background.
        const QImage shot = f.bar->grab().toImage();
        QCOMPARE(QColor(shot.pixel(bottom.center().x(), bottom.top() + 2)), QColor(238, 238, 238));
        QVERIFY(QColor(shot.pixel(bottom.center().x(), bottom.top())).lightness() > 238);
        QVERIFY(QColor(shot.pixel(bottom.center().x(), bottom.bottom())).lightness() < 238);

        // Alone again, the edge goes.
        lower->hide();
        Frame::settle();
        QCOMPARE(f.bar->sizingStyle() & Bar::EdgeMask, 0);
        QCOMPARE(f.bar->clientRect(), f.bar->widget()->geometry());
    }

    void edgesFaceNeighboursInTheRow() {
        QMainWindow window;
        window.setCentralWidget(new QWidget);
        auto* first = new Bar(QStringLiteral("First"), 1, &window);
        auto* second = new Bar(QStringLiteral("Second"), 2, &window);
        auto* third = new Bar(QStringLiteral("Third"), 3, &window);
        window.addDockWidget(Qt::TopDockWidgetArea, first);
        window.splitDockWidget(first, second, Qt::Horizontal);
        window.splitDockWidget(second, third, Qt::Horizontal);
        window.resize(1000, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Frame::settle();
        QCOMPARE(first->mode(), Bar::Mode::Horizontal);
        QCOMPARE(first->sizingStyle(), int(Bar::EdgeRight));
        QCOMPARE(second->sizingStyle(), Bar::EdgeLeft | Bar::EdgeRight);
        QCOMPARE(third->sizingStyle(), int(Bar::EdgeLeft));
        // Left is tested before right where both would answer (they never overlap here).
        QCOMPARE(second->edgeAt(second->edgeRect(Bar::EdgeLeft).center()), int(Bar::EdgeLeft));
        QCOMPARE(second->edgeAt(second->edgeRect(Bar::EdgeRight).center()), int(Bar::EdgeRight));
        QCOMPARE(first->horzSize().height(), first->height());
    }

    void dragOnAnEdgeResizesTheBar() {
        Frame f;
        auto* lower = new Bar(QStringLiteral("Lower"), 124, &f.window);
        f.window.splitDockWidget(f.bar, lower, Qt::Vertical);
        f.show();
        const int before = f.bar->height(), lowerBefore = lower->height();
        QWidget* client = f.bar->widget();
        const QPoint at = client->mapFrom(f.bar, f.bar->edgeRect(Bar::EdgeBottom).center());
        QTest::mousePress(client, Qt::LeftButton, {}, at);
        QTest::mouseMove(client, at + QPoint(0, 40));
        QTest::mouseRelease(client, Qt::LeftButton, {}, at + QPoint(0, 40));
        Frame::settle();
        QCOMPARE(f.bar->height(), before + 40);
        QCOMPARE(f.bar->vertSize().height(), before + 40);
        QCOMPARE(lower->height(), lowerBefore - 40);
    }

    // Placement in QelConfig.ini.

    void configPathUsesForwardSlashes() {
        QCOMPARE(WindowPlacement::configPath("C:\\work\\qel"),
                 QString("C:/work/qel/QelConfig.ini"));
        QCOMPARE(WindowPlacement::configPath("/srv/qel/"), QString("/srv/qel/QelConfig.ini"));
        QCOMPARE(WindowPlacement::configPath(), QDir::currentPath() + "/QelConfig.ini");
    }

    void readAppliesDefaultsAndScreenRules_data() {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<bool>("maximised");
        const QRect centred(560, 240, 800, 600);
        QTest::newRow("no file") << QString() << centred << false;
        QTest::newRow("kept") << "Width=1000\nHeight=700\nLeft=20\nTop=30\n"
                              << QRect(20, 30, 1000, 700) << false;
        QTest::newRow("size only, centred") << "Width=1000\nHeight=700\n"
                                            << QRect(460, 190, 1000, 700) << false;
        QTest::newRow("maximised flag") << "MaxSize=1\nLeft=10\nTop=10\n"
                                        << QRect(10, 10, 800, 600) << true;
        QTest::newRow("too wide") << "Width=2000\nHeight=600\nLeft=0\nTop=0\n" << centred << false;
        QTest::newRow("widest") << "Width=1912\nHeight=1072\nLeft=0\nTop=0\n"
                                << QRect(0, 0, 1912, 1072) << false;
        QTest::newRow("too tall") << "Height=1073\nLeft=0\nTop=0\n" << centred << false;
        QTest::newRow("left off the right") << "Left=1915\nTop=100\n" << centred << false;
        QTest::newRow("left at the limit") << "Left=1912\nTop=100\n" << centred << false;
        QTest::newRow("left just inside") << "Left=1911\nTop=100\n"
                                          << QRect(1911, 100, 800, 600) << false;
        QTest::newRow("top off the bottom") << "Left=0\nTop=1072\n" << centred << false;
        QTest::newRow("off the left") << "Left=-792\nTop=0\n" << centred << false;
        QTest::newRow("barely on the left") << "Left=-791\nTop=-591\n"
                                            << QRect(-791, -591, 800, 600) << false;
        QTest::newRow("zero size") << "Width=0\nHeight=-5\nLeft=3\nTop=4\n"
                                   << QRect(3, 4, 800, 600) << false;
        QTest::newRow("text") << "Width=wide\nLeft=12px\nTop=x\n"
                              << QRect(12, 0, 800, 600) << false;
    }
    void readAppliesDefaultsAndScreenRules() {
        QFETCH(QString, ini);
        QFETCH(QRect, frame);
        QFETCH(bool, maximised);
        QTemporaryDir dir;
        const QString path = WindowPlacement::configPath(dir.path());
        if (!ini.isEmpty()) writeIni(path, "[MainWindow]\n" + ini);
        const auto placement = WindowPlacement::read(path, kScreen);
        QCOMPARE(placement.frame, frame);
        QCOMPARE(placement.maximised, maximised);
    }

    void loadPlacesAndShowsTheWindow() {
        QTemporaryDir dir;
        const QString path = WindowPlacement::configPath(dir.path());
        QMainWindow window;
        WindowPlacement::load(window, path, QRect(QPoint(0, 0), kScreen));
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMaximized());
        QCOMPARE(window.frameGeometry().size(), QSize(800, 600));
        QCOMPARE(window.frameGeometry().topLeft(), QPoint(560, 240));
        QVERIFY(!QFile::exists(path));  // loading writes nothing

        writeIni(path, "[MainWindow]\nMaxSize=1\nWidth=640\nHeight=480\nLeft=5\nTop=6\n");
        QMainWindow second;
        WindowPlacement::load(second, path, QRect(QPoint(0, 0), kScreen));
        QVERIFY(second.isMaximized());
    }

    void saveWritesTheOuterRectangle() {
        QTemporaryDir dir;
        const QString path = WindowPlacement::configPath(dir.path());
        QMainWindow window;
        window.show();
        window.setGeometry(100, 120, 700, 500);
        Frame::settle();
        const QRect outer = window.frameGeometry();
        WindowPlacement::save(window, path, QRect(QPoint(0, 0), kScreen));
        QSettings ini(path, QSettings::IniFormat);
        QCOMPARE(ini.value("MainWindow/MaxSize").toString(), QString("0"));
        QCOMPARE(ini.value("MainWindow/Width").toInt(), outer.width());
        QCOMPARE(ini.value("MainWindow/Height").toInt(), outer.height());
        QCOMPARE(ini.value("MainWindow/Left").toInt(), outer.left());
        QCOMPARE(ini.value("MainWindow/Top").toInt(), outer.top());
        QCOMPARE(WindowPlacement::read(path, kScreen).frame, outer);
    }

    void closingMaximisedWritesCentredDefault() {
        QTemporaryDir dir;
        const QString path = WindowPlacement::configPath(dir.path());
        writeIni(path, "[NetConfig]\nAutoIP=0\n");
        QMainWindow window;
        window.showMaximized();
        Frame::settle();
        WindowPlacement::save(window, path, QRect(QPoint(0, 0), kScreen));
        const QString text = readIni(path);
        QVERIFY2(text.contains("MaxSize=1\n"), qPrintable(text));
        QVERIFY(text.contains("Width=800\n"));
        QVERIFY(text.contains("Height=600\n"));
        QVERIFY(text.contains("Left=560\n"));
        QVERIFY(text.contains("Top=240\n"));
        QVERIFY(text.contains("AutoIP=0"));  // other sections stay
        const auto back = WindowPlacement::read(path, kScreen);
        QVERIFY(back.maximised);
        QCOMPARE(back.frame, QRect(560, 240, 800, 600));
    }
};

QTEST_MAIN(ChromeDockTest)
#include "ChromeDockTest.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// The client background, the skinned status bar, the tool bar and the shell's pictures.
#include <QMainWindow>
#include <QPainter>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include "resources/Skins.h"
#include "shell/ClientWnd.h"
#include "shell/MyStatusBar.h"
#include "shell/MyToolBar.h"

using namespace qel;

namespace {

QColor at(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

// A small picture whose fast and smooth enlargements differ everywhere along the edges.
QImage checkerboard() {
    QImage image(8, 6, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, (x + y) % 2 ? qRgb(250, 40, 40) : qRgb(20, 60, 230));
    return image;
}

// The area as the client drew it from a pixmap of the whole picture kept for its lifetime.
QImage scaledPicture(const QImage& picture, QSize area, Qt::TransformationMode mode) {
    QImage expected(area, QImage::Format_RGB32);
    expected.fill(CClientWnd::bandColor());
    QPainter p(&expected);
    p.drawPixmap(
        0, 0, QPixmap::fromImage(picture).scaled(area - QSize(0, 2), Qt::IgnoreAspectRatio, mode));
    return expected;
}

// Mouse events at fixed screen points, whatever the widget's own moves in between.
void sendMouse(QWidget* w, QEvent::Type type, QPoint global, Qt::MouseButtons held) {
    const QPoint local = w->mapFromGlobal(global);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

}  // namespace

class ChromePaintTest : public QObject {
    Q_OBJECT

private slots:
    // Client background.

    void clientWithoutBitmapIsPlainGrey() {
        CClientWnd client;
        client.setBackground({});
        client.resize(300, 200);
        const QImage shot = client.grab().toImage();
        QCOMPARE(at(shot, 0, 0), QColor(160, 160, 164));
        QCOMPARE(at(shot, 299, 199), QColor(160, 160, 164));
        QCOMPARE(client.lastQuality(), CClientWnd::Quality::None);
    }

    void clientStretchesBitmapAboveBottomBand() {
        CClientWnd client;
        client.setBackground(checkerboard);
        client.resize(320, 242);
        const QImage shot = client.grab().toImage();
        QCOMPARE(at(shot, 5, 240), QColor(180, 188, 200));
        QCOMPARE(at(shot, 319, 241), QColor(180, 188, 200));
        QCOMPARE(shot.convertToFormat(QImage::Format_RGB32),
                 scaledPicture(checkerboard(), {320, 242}, Qt::SmoothTransformation));
    }

    void clientFastWhileSizingSmoothAfter() {
        CClientWnd client;
        const QImage picture = checkerboard();
        client.setBackground(checkerboard);
        client.resize(200, 150);
        client.grab();
        QCOMPARE(client.lastQuality(), CClientWnd::Quality::Smooth);
        const int built = client.surfaceBuilds();
        client.grab();
        QCOMPARE(client.surfaceBuilds(), built);  // same size: the cached picture is kept

        client.setSizing(true);
        client.resize(260, 190);
        QImage shot = client.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(client.lastQuality(), CClientWnd::Quality::Fast);
        QCOMPARE(shot, scaledPicture(picture, {260, 190}, Qt::FastTransformation));
        client.resize(270, 200);
        client.grab();
        QCOMPARE(client.lastQuality(), CClientWnd::Quality::Fast);

        client.setSizing(false);
        shot = client.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(client.lastQuality(), CClientWnd::Quality::Smooth);
        QCOMPARE(shot, scaledPicture(picture, {270, 200}, Qt::SmoothTransformation));
        QVERIFY(shot != scaledPicture(picture, {270, 200}, Qt::FastTransformation));
        const int smoothBuilt = client.surfaceBuilds();
        client.grab();
        QCOMPARE(client.surfaceBuilds(), smoothBuilt);
    }

    // Bitmap 132 looks as it did when the whole picture was kept, and is let go once drawn
    // smoothly: only the fast drawings while sizing reuse it.
    void clientDrawsBitmap132WithoutKeepingIt() {
        const QImage picture = skin::bitmap(CClientWnd::kBitmapId).toImage();
        QCOMPARE(picture.size(), QSize(1024, 768));
        CClientWnd client;
        client.resize(1180, 722);
        QImage shot = client.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot, scaledPicture(picture, {1180, 722}, Qt::SmoothTransformation));
        QVERIFY(!client.holdsPicture());

        client.setSizing(true);
        client.resize(700, 500);
        client.grab();
        QVERIFY(client.holdsPicture());
        client.resize(640, 480);
        shot = client.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot, scaledPicture(picture, {640, 480}, Qt::FastTransformation));
        client.setSizing(false);
        shot = client.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot, scaledPicture(picture, {640, 480}, Qt::SmoothTransformation));
        QVERIFY(!client.holdsPicture());
    }

    // Status bar.

    void statusBarStartsWithFivePanes() {
        CMyStatusBar bar;
        QCOMPARE(bar.paneCount(), 5);
        QCOMPARE(bar.paneText(1), QString("名称: -"));
        QCOMPARE(bar.paneText(2), QString("状态:-"));
        QCOMPARE(bar.paneText(3), QString("模式号码:-"));
        QCOMPARE(bar.paneText(4), QString("模式号码:名称"));
        QCOMPARE(bar.font().family(), QString("Tahoma"));
        QCOMPARE(bar.font().pixelSize(), 13);
        QVERIFY(bar.minimumHeight() >= 19);
        QVERIFY(bar.sizeHint().height() >= 19);
        bar.setPaneText(3, "模式号码:7");
        QCOMPARE(bar.paneText(3), QString("模式号码:7"));
        bar.setPaneText(9, "ignored");
        QCOMPARE(bar.paneText(9), QString());
    }

    void statusPanesFillTheBarUpToTheGrip() {
        CMyStatusBar bar;
        bar.resize(800, 21);
        QCOMPARE(bar.paneRect(4).right(), 800 - 16 - 1);
        QCOMPARE(bar.paneRect(4).width(), 110 + 6);
        QCOMPARE(bar.paneRect(3).width(), 64 + 6);
        QCOMPARE(bar.paneRect(2).width(), 92 + 6);
        QVERIFY(bar.paneRect(1).width() >= 120 + 6);
        QCOMPARE(bar.paneRect(0).left(), 0);
        for (int i = 1; i < bar.paneCount(); ++i)
            QCOMPARE(bar.paneRect(i).left(), bar.paneRect(i - 1).right() + 1 + 2);
        // Too narrow for all of them: the stretching panes keep their own widths.
        bar.resize(300, 21);
        QCOMPARE(bar.paneRect(1).width(), 126);
        QCOMPARE(bar.paneRect(0).width(), 6);
    }

    void aPaneIsNeverNarrowerThanItsText() {
        CMyStatusBar bar;
        bar.resize(800, 21);
        const QString name = "模式名称: Hall Rock Festival 20";
        bar.setPaneText(4, name);
        QVERIFY(bar.textRect(4).width() >= bar.fontMetrics().horizontalAdvance(name));
        QCOMPARE(bar.paneRect(4).right(), 800 - 16 - 1);  // still up to the grip
        bar.setPaneText(4, "模式名称: A");
        QCOMPARE(bar.paneRect(4).width(), 110 + 6);  // a short text leaves it as it was
    }

    void narrowPanesHaveTheirTextCloser() {
        CMyStatusBar bar;
        bar.resize(800, 21);
        bar.setPaneText(2, {});  // its first text would widen it
        bar.setPaneText(3, {});
        bar.setPaneInfo(2, 25, false);
        bar.setPaneInfo(3, 26, false);
        QCOMPARE(bar.paneRect(2).width(), 31);
        QCOMPARE(bar.textRect(2).left() - bar.paneRect(2).left(), 2);
        QCOMPARE(bar.paneRect(3).width(), 32);
        QCOMPARE(bar.textRect(3).left() - bar.paneRect(3).left(), 7);
        QCOMPARE(bar.textRect(3).top() - bar.paneRect(3).top(), 1);
    }

    void skinDrawsTileGripAndSeparators() {
        CMyStatusBar bar;
        bar.resize(640, 19);
        QVERIFY(bar.turnOnSkin());
        QCOMPARE(bar.height(), 21);
        const QImage skin = skin::bitmap(148).toImage();
        const QImage shot = bar.grab().toImage();
        for (int x = 0; x < 640 - 12; x += 37) QCOMPARE(at(shot, x, 0), at(skin, x % 4, 0));
        for (int x = 0; x < 12; ++x)
            for (int y = 0; y < 21; ++y) QCOMPARE(at(shot, 640 - 12 + x, y), at(skin, 4 + x, y));
        const int left = bar.paneRect(2).left();
        QCOMPARE(at(shot, left - 1, 10), QColor(161, 161, 161));
        QCOMPARE(at(shot, left - 2, 10), QColor(255, 255, 255));
        QCOMPARE(at(shot, left, 10), QColor(255, 255, 255));
        QCOMPARE(at(shot, left - 1, 20), at(skin, (left - 1) % 4, 20));  // lines stop above
        // Some of the pane's text is drawn in black.
        bool dark = false;
        for (int x = bar.textRect(2).left(); x < bar.paneRect(2).right(); ++x)
            for (int y = 2; y < 19; ++y) dark = dark || at(shot, x, y).lightness() < 80;
        QVERIFY(dark);
    }

    void skinTurnsOnOnce() {
        CMyStatusBar bar;
        bar.resize(500, 21);
        QVERIFY(!bar.skinOn());
        QVERIFY(bar.turnOnSkin());
        const QImage first = bar.grab().toImage();
        QVERIFY(!bar.turnOnSkin());
        QVERIFY(bar.skinOn());
        QCOMPARE(bar.grab().toImage(), first);
    }

    void gripDragResizesTheMainWindow() {
        QMainWindow window;
        auto* bar = new CMyStatusBar;
        window.setStatusBar(bar);
        window.setCentralWidget(new QWidget);
        window.resize(700, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint grip = bar->mapToGlobal(bar->gripRect().center());
        sendMouse(bar, QEvent::MouseButtonPress, grip, Qt::LeftButton);
        QVERIFY(!bar->dragging());  // no skin, no grip of ours
        sendMouse(bar, QEvent::MouseButtonRelease, grip, Qt::NoButton);
        bar->turnOnSkin();
        QCoreApplication::processEvents();
        const QPoint start = bar->mapToGlobal(bar->gripRect().center());
        const QSize before = window.size();
        const QPoint placed = window.pos();
        sendMouse(bar, QEvent::MouseButtonPress, start, Qt::LeftButton);
        QVERIFY(bar->dragging());
        sendMouse(bar, QEvent::MouseMove, start + QPoint(30, 10), Qt::LeftButton);
        sendMouse(bar, QEvent::MouseMove, start + QPoint(60, 25), Qt::LeftButton);
        QCOMPARE(window.size(), before + QSize(60, 25));
        QCOMPARE(window.pos(), placed);
        sendMouse(bar, QEvent::MouseButtonRelease, start + QPoint(60, 25), Qt::NoButton);
        QVERIFY(!bar->dragging());
        sendMouse(bar, QEvent::MouseMove, start, Qt::NoButton);
        QCOMPARE(window.size(), before + QSize(60, 25));
        // A press away from the grip does not start a drag, nor does one on a maximised window.
        sendMouse(bar, QEvent::MouseButtonPress, bar->mapToGlobal(QPoint(5, 5)), Qt::LeftButton);
        QVERIFY(!bar->dragging());
        sendMouse(bar, QEvent::MouseButtonRelease, bar->mapToGlobal(QPoint(5, 5)), Qt::NoButton);
        window.showMaximized();
        QCoreApplication::processEvents();
        sendMouse(bar, QEvent::MouseButtonPress, bar->mapToGlobal(bar->gripRect().center()),
                  Qt::LeftButton);
        QVERIFY(!bar->dragging());
    }

    // Tool bar.

    void toolTipsAreTheShortPrompt() {
        QCOMPARE(CMyToolBar::tipText("Search Equipment ( UDP / USB )\nSearch"), QString("Search"));
        QCOMPARE(CMyToolBar::statusText("Search Equipment ( UDP / USB )\nSearch"),
                 QString("Search Equipment ( UDP / USB )"));
        QCOMPARE(CMyToolBar::tipText("Help and About"), QString("Help and About"));
        QCOMPARE(CMyToolBar::statusText("Help and About"), QString("Help and About"));
    }

    void toolBarButtonsAndHitTest() {
        CMyToolBar bar("Tools");
        bar.addCommand(32801, 158, "Search Equipment ( UDP / USB )\nSearch");
        bar.addSeparator();
        bar.addCommand(32802, 157, "NetWork Options\nNetWork Options");
        bar.addCommand(32803, 160, "Disconnect\nDisconnect");
        bar.addSeparator();
        bar.addCommand(32805, 156, "Help and About");
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QCOMPARE(bar.iconSize(), QSize(26, 26));
        for (int id : {32801, 32802, 32803, 32805}) {
            QWidget* button = bar.widgetForAction(bar.commandAction(id));
            QVERIFY(button);
            QCOMPARE(button->size(), QSize(26, 27));
            QCOMPARE(bar.commandAt(button->geometry().center()), id);
        }
        auto* search = qobject_cast<QToolButton*>(bar.widgetForAction(bar.commandAction(32801)));
        QCOMPARE(search->toolTip(), QString("Search"));
        QCOMPARE(bar.commandAction(32801)->statusTip(), QString("Search Equipment ( UDP / USB )"));
        QCOMPARE(bar.tipAt(search->geometry().center()), QString("Search"));
        // Between the first button and the next one lies the separator.
        const int gapX = (search->geometry().right() +
                          bar.widgetForAction(bar.commandAction(32802))->geometry().left()) /
                         2;
        QCOMPARE(bar.commandAt(QPoint(gapX, search->geometry().center().y())), 0);
        QCOMPARE(bar.tipAt(QPoint(gapX, search->geometry().center().y())), QString());

        QSignalSpy triggered(&bar, &CMyToolBar::commandTriggered);
        QTest::mouseClick(bar.widgetForAction(bar.commandAction(32803)), Qt::LeftButton);
        QCOMPARE(triggered.size(), 1);
        QCOMPARE(triggered.at(0).at(0).toInt(), 32803);
    }

    // Pictures.

    void shellPicturesHaveTheirSizes_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("transparentCorner");
        QTest::newRow("application icon") << 128 << QSize(32, 32) << true;
        QTest::newRow("client backdrop") << 132 << QSize(1024, 768) << false;
        QTest::newRow("row icon") << 139 << QSize(19, 10) << true;
        QTest::newRow("status skin") << 148 << QSize(16, 21) << false;
        QTest::newRow("help") << 156 << QSize(26, 26) << true;
        QTest::newRow("network") << 157 << QSize(26, 26) << true;
        QTest::newRow("search") << 158 << QSize(26, 26) << true;
        QTest::newRow("disconnect") << 160 << QSize(26, 26) << true;
    }
    void shellPicturesHaveTheirSizes() {
        QFETCH(int, id);
        QFETCH(QSize, size);
        QFETCH(bool, transparentCorner);
        const QImage image = skin::paintShellSkin(id);
        QCOMPARE(image.size(), size);
        QCOMPARE(qAlpha(image.pixel(0, 0)) == 0, transparentCorner);
        QCOMPARE(image.hasAlphaChannel(), transparentCorner);
        // Something is drawn: the picture is not one flat colour.
        QVERIFY(image.pixel(0, 0) != image.pixel(size.width() / 2, size.height() / 2));
    }

    void unknownIdsGiveNoShellPicture() {
        QVERIFY(skin::paintShellSkin(129).isNull());
        QVERIFY(skin::paintShellSkin(0).isNull());
    }
};

QTEST_MAIN(ChromePaintTest)
#include "ChromePaintTest.moc"

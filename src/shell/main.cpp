// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// quellmar: the application.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "controls/StderrMessageBoxes.h"
#include "editor/QelEquipmentDlg.h"
#include "platform/Language.h"
#include "platform/Trace.h"
#include "shell/MainFrame.h"
#include "shell/QuellmarApp.h"
#include "shell/SignalExit.h"
#include "shell/WindowPlacement.h"

namespace {

constexpr int kExitOk = 0, kExitFailed = 1;
const char* kAlreadyRunning = QT_TRANSLATE_NOOP("qel::CQuellmarApp", "Quellmar 已经在运行。");

uint16_t port(const QCommandLineParser& parser, const QString& name, uint16_t fallback) {
    bool ok = false;
    const uint value = parser.value(name).toUInt(&ok, 0);
    return ok && value <= 65535 ? static_cast<uint16_t>(value) : fallback;
}

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        "Finds, connects to and controls QD206, QD406 and QD408 units.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {"screenshot",
         "Save the main window (with --connect, the unit's editor) to FILE after the start-up "
         "search, then quit.",
         "FILE"},
        {"work-dir", "Folder of QelConfig.ini and the mode files (default: current).", "DIR"},
        {"data-dir", "Use the user's data folder as the work folder, created when missing."},
        {"local-port", QString("This program's UDP port (default %1).").arg(qel::port::kLocal),
         "N"},
        {"unit-port", QString("The units' UDP command port (default %1).").arg(qel::port::kUnit),
         "N"},
        {"module-port",
         QString("The units' network module port (default %1).").arg(qel::port::kModule), "N"},
        {"search-port",
         QString("Local port of the search request (default %1).").arg(qel::port::kSearch), "N"},
        {"connect", "Open a unit after the start-up search: its address, COMn, or its row number.",
         "UNIT"},
        {"page", "With --connect: the editor page to show, 1 (gain) to 6 (system).", "K"},
        {"lang", "Interface language: zh (default) or en; overrides the saved choice.", "LANG"},
    });
}

// The arguments less those that QApplication takes for itself (-platform offscreen, -style ...).
QStringList withoutQtOptions(int argc, char** argv) {
    static const QStringList valued = {"platform", "platformpluginpath", "platformtheme",
                                       "plugin",   "qwindowgeometry",    "qwindowicon",
                                       "qwindowtitle", "session", "style", "stylesheet",
                                       "display",  "geometry", "name", "title", "visual"};
    static const QStringList flags = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        QString name = arg;
        while (name.startsWith('-')) name.remove(0, 1);
        name = name.section('=', 0, 0);
        if (i > 0 && arg.startsWith('-') && flags.contains(name)) continue;
        if (i > 0 && arg.startsWith('-') && valued.contains(name)) {
            if (!arg.contains('=')) ++i;
            continue;
        }
        args << arg;
    }
    return args;
}

// --help, --version and a wrong command line are answered before the window system starts,
// so they need no display. process() prints and exits.
void answerWithoutDisplay(int argc, char** argv) {
    const QStringList args = withoutQtOptions(argc, argv);
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(args)) {
        std::fprintf(stderr, "quellmar: %s\nTry 'quellmar --help'.\n",
                     qPrintable(parser.errorText()));
        std::exit(EXIT_FAILURE);
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "quellmar: unexpected argument '%s'\nTry 'quellmar --help'.\n",
                     qPrintable(parser.positionalArguments().constFirst()));
        std::exit(EXIT_FAILURE);
    }
    if (!parser.isSet("help") && !parser.isSet("help-all") && !parser.isSet("version")) return;
    QCoreApplication core(argc, argv);
    parser.process(args);
}

// The user's data folder (~/.local/share/Quellmar/Quellmar), created and made current;
// "" when that fails, which leaves the current folder in use.
QString enterDataDir() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir) || !QDir::setCurrent(dir)) return {};
    return dir;
}

qel::CQuellmarApp::Options optionsFrom(const QCommandLineParser& parser) {
    qel::CQuellmarApp::Options options;
    options.workDir = parser.value("work-dir");
    if (options.workDir.isEmpty() && parser.isSet("data-dir")) options.workDir = enterDataDir();
    options.localPort = port(parser, "local-port", options.localPort);
    options.unitPort = port(parser, "unit-port", options.unitPort);
    options.modulePort = port(parser, "module-port", options.modulePort);
    options.searchPort = port(parser, "search-port", options.searchPort);
    return options;
}

void say(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// Saves the window after the start-up search and quits; an editor is taken after its first
// meter passes. Nothing is saved once a message box has come instead.
void screenshotAfterStart(qel::CMainFrame& frame, const QString& file, int page,
                          const qel::StderrMessageBoxes& boxes) {
    frame.setAfterStartSearch([&frame, &boxes, file, page] {
        if (boxes.count()) return;
        const auto unit = frame.activeUnit();
        qel::CQelEquipmentDlg* editor = unit ? frame.editorOf(*unit) : nullptr;
        if (editor) editor->showPage(page ? page : qel::CQelEquipmentDlg::kGain);
        QTimer::singleShot(editor ? 1500 : 300, &frame, [&frame, &boxes, file, editor] {
            if (boxes.count()) return;
            QWidget* target = editor ? static_cast<QWidget*>(editor) : &frame;
            if (!target->grab().save(file, "PNG"))
                qel::showMessage(
                    &frame,
                    QCoreApplication::translate("qel::CQuellmarApp", "无法保存图片 %1").arg(file),
                    "Quellmar");
            frame.close();
        });
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication::setApplicationVersion(QUELLMAR_VERSION);
    qel::installTraceHandler(stdout);  // on unless QT_LOGGING_RULES turns it off
    answerWithoutDisplay(argc, argv);
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Quellmar");
    QApplication::setApplicationName("Quellmar");
    QApplication::setDesktopFileName("org.quellmar.Quellmar");
    QCommandLineParser parser;
    describe(parser);
    parser.process(application);

    qel::CQuellmarApp app(optionsFrom(parser));
    qel::Language::install(application, parser.isSet("lang")
                                            ? parser.value("lang")
                                            : qel::Language::configured(app.configPath()));
    if (!app.acquireInstanceLock()) {
        say(QCoreApplication::translate("qel::CQuellmarApp", kAlreadyRunning));
        return kExitFailed;
    }
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    // Signals take the exit command's path; before the main window is there (a message box of
    // its start may wait), they end the program at once.
    qel::CSignalExit exitSignals;
    QPointer<qel::CMainFrame> ready;
    bool endedEarly = false;
    QObject::connect(&exitSignals, &qel::CSignalExit::exitRequested, &application, [&] {
        if (ready) {
            ready->exitOnRequest();
            return;
        }
        endedEarly = true;
        QCoreApplication::exit();  // also ends the box's own loop
    });
    // Nobody answers the boxes of a screenshot run: their texts end it.
    const QString shot = parser.value("screenshot");
    qel::StderrMessageBoxes headless([&ready] {
        if (ready) QTimer::singleShot(0, ready, &qel::CMainFrame::exitOnRequest);
    });
    if (!shot.isEmpty()) qel::setMessageBoxes(&headless);
    qel::CMainFrame frame(app);
    if (endedEarly) return kExitOk;
    if (headless.count()) return kExitFailed;
    ready = &frame;
    frame.setWindowTitle(qel::CQuellmarApp::kTitle);
    frame.setConnectAtStart(parser.value("connect"));
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &frame,
                     &qel::CMainFrame::exitOnRequest);
    if (!shot.isEmpty()) screenshotAfterStart(frame, shot, parser.value("page").toInt(), headless);
    qel::WindowPlacement::load(frame, app.configPath(), frame.screen()->geometry());
    const int code = application.exec();
    qel::setMessageBoxes(nullptr);
    return headless.count() ? kExitFailed : code;
}

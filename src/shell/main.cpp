// quellmar: the application.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "editor/QelEquipmentDlg.h"
#include "shell/Language.h"
#include "shell/MainFrame.h"
#include "shell/QuellmarApp.h"
#include "shell/SignalExit.h"
#include "shell/WindowPlacement.h"

namespace {

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

}  // namespace

int main(int argc, char** argv) {
    QApplication::setApplicationVersion(QUELLMAR_VERSION);
    answerWithoutDisplay(argc, argv);
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Quellmar");
    QApplication::setApplicationName("Quellmar");
    QApplication::setDesktopFileName("org.quellmar.Quellmar");
    QCommandLineParser parser;
    describe(parser);
    parser.process(application);

    qel::CQuellmarApp::Options options;
    options.workDir = parser.value("work-dir");
    if (options.workDir.isEmpty() && parser.isSet("data-dir")) options.workDir = enterDataDir();
    options.localPort = port(parser, "local-port", options.localPort);
    options.unitPort = port(parser, "unit-port", options.unitPort);
    options.modulePort = port(parser, "module-port", options.modulePort);
    options.searchPort = port(parser, "search-port", options.searchPort);
    qel::CQuellmarApp app(options);
    if (!app.acquireInstanceLock()) return 0;  // another copy runs: leave quietly
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    qel::Language::install(application, parser.isSet("lang")
                                            ? parser.value("lang")
                                            : qel::Language::configured(app.configPath()));
    qel::CSignalExit exitSignals;
    qel::CMainFrame frame(app);
    frame.setWindowTitle(qel::CQuellmarApp::kTitle);
    frame.setConnectAtStart(parser.value("connect"));
    // Signals and the end of the desktop session take the exit command's path.
    QObject::connect(&exitSignals, &qel::CSignalExit::exitRequested, &frame,
                     &qel::CMainFrame::exitOnRequest);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &frame,
                     &qel::CMainFrame::exitOnRequest);
    const QString shot = parser.value("screenshot");
    if (!shot.isEmpty()) {
        const int page = parser.value("page").toInt();
        frame.setAfterStartSearch([&frame, shot, page] {
            // An editor is taken after its first meter passes.
            const auto unit = frame.activeUnit();
            qel::CQelEquipmentDlg* editor = unit ? frame.editorOf(*unit) : nullptr;
            if (editor) editor->showPage(page ? page : qel::CQelEquipmentDlg::kGain);
            QTimer::singleShot(editor ? 1500 : 300, &frame, [&frame, shot, editor] {
                QWidget* target = editor ? static_cast<QWidget*>(editor) : &frame;
                target->grab().save(shot, "PNG");
                frame.close();
            });
        });
    }
    qel::WindowPlacement::load(frame, app.configPath(), frame.screen()->geometry());
    return application.exec();
}

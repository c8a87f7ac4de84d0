// quellmar: the application.
#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <ctime>

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

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Quellmar");
    QApplication::setApplicationName("Quellmar");
    QCommandLineParser parser;
    parser.setApplicationDescription("Finds, connects to and controls QD206, QD406 and QD408 units.");
    parser.addHelpOption();
    parser.addOptions({
        {"screenshot", "Save the main window to FILE after the start-up search, then quit.", "FILE"},
        {"work-dir", "Folder of QelConfig.ini and the mode files (default: current).", "DIR"},
        {"local-port", "This program's UDP port (default 9640).", "N"},
        {"unit-port", "The units' UDP command port (default 9840).", "N"},
        {"module-port", "The units' network module port (default 8000).", "N"},
        {"search-port", "Local port of the search request (default 9401).", "N"},
        {"connect", "Open the unit with this address (or COMn) after the start-up search.",
         "UNIT"},
    });
    parser.process(application);

    qel::CQuellmarApp::Options options;
    options.workDir = parser.value("work-dir");
    options.localPort = port(parser, "local-port", options.localPort);
    options.unitPort = port(parser, "unit-port", options.unitPort);
    options.modulePort = port(parser, "module-port", options.modulePort);
    options.searchPort = port(parser, "search-port", options.searchPort);
    qel::CQuellmarApp app(options);
    if (!app.acquireInstanceLock()) return 0;  // another copy runs: leave quietly
    std::srand(static_cast<unsigned>(std::time(nullptr)));

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
        frame.setAfterStartSearch([&frame, shot] {
            QTimer::singleShot(300, &frame, [&frame, shot] {
                frame.grab().save(shot, "PNG");
                frame.close();
            });
        });
    }
    qel::WindowPlacement::load(frame, app.configPath(), frame.screen()->geometry());
    return application.exec();
}

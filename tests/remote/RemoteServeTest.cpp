// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>
#include <QWebSocket>
#include <csignal>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "UnitSimulator.h"
#include "support/Loopback.h"
#include "support/WebSocketClient.h"

using namespace qel;

namespace {

using Client = test::WebSocketClient;

QJsonObject output(const QJsonObject& snapshot, int index) {
    return snapshot.value("preset").toObject().value("outputs").toArray().at(index).toObject();
}

struct CliRun {
    int exitCode = -1;
    QString out, err;
};

CliRun runCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(QUELLMAR_CLI), args);
    CliRun r;
    if (!p.waitForFinished(30000)) return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// What a terminal shows, read from its master side until `done` is satisfied or 15 s pass.
QString readTerminal(int master, const std::function<bool(const QString&)>& done) {
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    while (!done(QString::fromUtf8(bytes)) && clock.elapsed() < 15000) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buffer[4096];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0) bytes.append(buffer, n);
    }
    return QString::fromUtf8(bytes);
}

// A QR code drawn in half blocks (light modules in the foreground) as a picture, decoded by
// zbarimg; the text it holds, or the tool's complaint.
QString decodeBlocks(const QStringList& lines, const QString& folder) {
    constexpr int kScale = 4;
    std::vector<QString> rows;
    for (QString line : lines) rows.push_back(line.remove(QRegularExpression("\x1b\\[[0-9;]*m")));
    const int width = int(rows.front().size()), height = int(rows.size()) * 2;
    QByteArray pgm =
        QStringLiteral("P2\n%1 %2\n1\n").arg(width * kScale).arg(height * kScale).toLatin1();
    for (int y = 0; y < height; ++y) {
        QByteArray row;
        for (int x = 0; x < width; ++x) {
            const QChar c = x < rows[size_t(y / 2)].size() ? rows[size_t(y / 2)][x] : QChar(' ');
            const bool light = c == QChar(0x2588) || c == QChar(y % 2 ? 0x2584 : 0x2580);
            for (int i = 0; i < kScale; ++i) row += light ? "1 " : "0 ";
        }
        for (int i = 0; i < kScale; ++i) pgm += row + '\n';
    }
    QFile file(folder + "/qr.pgm");
    if (!file.open(QIODevice::WriteOnly) || file.write(pgm) != pgm.size()) return {};
    file.close();
    QProcess zbar;
    zbar.start("zbarimg", {"--raw", "-q", file.fileName()});
    if (!zbar.waitForFinished(15000)) return QStringLiteral("(zbarimg did not end)");
    const QByteArray read = zbar.readAllStandardOutput();
    return QString::fromUtf8(read.isEmpty() ? zbar.readAllStandardError() : read).trimmed();
}

// GET of a unit on the API: the status and the JSON body.
std::pair<int, QJsonObject> apiGet(const QUrl& server, const QString& token, const QString& id) {
    QNetworkAccessManager http;
    http.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(server.resolved(QUrl("/api/v1/units/" + QUrl::toPercentEncoding(id))));
    request.setRawHeader("Authorization", "Bearer " + token.toLatin1());
    const std::unique_ptr<QNetworkReply> reply(http.get(request));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 5000)) return {};
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
            QJsonDocument::fromJson(reply->readAll()).object()};
}

}  // namespace

// quellmar-cli serve against simulated units: what a browser sees and sends, through the
// real hub, the units' edit paths and links.
class RemoteServeTest : public QObject {
    Q_OBJECT

    sim::UnitSimulator sim_;
    int big_ = -1, small_ = -1;
    std::string ip408_, ip206_;
    QTemporaryDir dir_;
    QProcess serve_;
    QUrl url_;
    QString token_, unit_, smallUnit_;
    QString secondToken_;  // of the tablet that paired with the address printed next

    // A client that is paired with the token of the first one and watches the big unit.
    bool watch(Client& c, int meterRate = 0) {
        if (!c.open(quint16(url_.port()))) return false;
        c.send({{"type", "hello"}, {"token", token_}});
        c.send({{"type", "subscribe"}, {"units", QJsonArray{unit_}}, {"meters", meterRate}});
        return !c.next("snapshot").isEmpty();
    }

    bool startServe(QProcess& serve, const QString& config) {
        serve.setProgram(QStringLiteral(QUELLMAR_CLI));
        serve.setArguments({"serve", "--listen", "127.0.0.1:0", "--ip",
                            QString::fromStdString(ip408_), "--ip", QString::fromStdString(ip206_),
                            "--local-port", "0", "--config", config});
        serve.start();
        if (!serve.waitForStarted() || !QTest::qWaitFor([&] { return serve.canReadLine(); }, 15000))
            return false;
        url_ = QUrl(QString::fromUtf8(serve.readLine()).trimmed());
        return true;
    }

    // The next pairing address serve prints, waiting for it.
    QUrl nextUrl() {
        if (!QTest::qWaitFor([&] { return serve_.canReadLine(); }, 5000)) return {};
        return QUrl(QString::fromUtf8(serve_.readLine()).trimmed());
    }

    // The language a serve with this settings file tells a client it pairs.
    QString languageOf(const QString& config) {
        QProcess serve;
        if (!startServe(serve, config)) return {};
        Client c;
        if (!c.open(quint16(url_.port()))) return {};
        c.send({{"type", "hello"}, {"pair", QUrlQuery(url_).queryItemValue("pair")}});
        const QString language = c.next("welcome").value("language").toString();
        ::kill(pid_t(serve.processId()), SIGTERM);
        serve.waitForFinished(5000);
        return language;
    }

private slots:
    void initTestCase() {
        const std::string subnet = test::loopbackSubnet();
        ip408_ = test::loopbackHost(subnet, 2);
        ip206_ = test::loopbackHost(subnet, 3);
        big_ = sim_.addNetworkUnit(4, ip408_, "Main Stage");
        small_ = sim_.addNetworkUnit(2, ip206_, "Fill");
        QVERIFY(big_ >= 0 && small_ >= 0);
        auto s = sim_.state(big_);
        s.params.out[2].gain = 110;  // +5 dB
        sim_.setState(big_, s);
        QVERIFY(sim_.start());
        // The page speaks the window program's language: Chinese unless it keeps another.
        QCOMPARE(languageOf(dir_.filePath("fresh.ini")), QString("zh"));
        QSettings(dir_.filePath("QelConfig.ini"), QSettings::IniFormat)
            .setValue("View/Language", "en");
        QVERIFY(startServe(serve_, dir_.filePath("QelConfig.ini")));
        QCOMPARE(url_.scheme(), QString("http"));
    }

    void cleanupTestCase() {
        if (serve_.state() == QProcess::NotRunning) return;
        serve_.kill();
        serve_.waitForFinished();
    }

    void editsReachTheUnitAndEveryClient() {
        Client a, b;
        QVERIFY(a.open(quint16(url_.port())));
        a.send({{"type", "hello"}, {"pair", QUrlQuery(url_).queryItemValue("pair")}});
        QCOMPARE(a.next("welcome").value("language").toString(), QString("en"));
        const QString token = token_ = a.next("welcome").value("token").toString();
        QVERIFY(!token.isEmpty());
        const QJsonArray units = a.next("units").value("units").toArray();
        QCOMPARE(units.size(), 2);
        QCOMPARE(units[0].toObject().value("name").toString(), QString("Main Stage"));
        QCOMPARE(units[0].toObject().value("state").toString(), QString("online"));
        const QString id = unit_ = units[0].toObject().value("id").toString();
        QCOMPARE(id, QString("QD408-Main-Stage"));
        smallUnit_ = units[1].toObject().value("id").toString();
        QVERIFY(b.open(quint16(url_.port())));
        b.send({{"type", "hello"}, {"token", token}});
        QVERIFY(!b.next("welcome").isEmpty());
        for (Client* c : {&a, &b}) c->send({{"type", "subscribe"}, {"units", QJsonArray{id}}});
        const QJsonObject snapshot = a.next("snapshot");
        QCOMPARE(output(snapshot, 2).value("gainDb").toDouble(), 5.0);
        QCOMPARE(snapshot.value("curves").toObject().value("out:8").toArray().size(), 256);

        size_t seen = b.received.size();
        a.send({{"type", "set"}, {"id", 1}, {"unit", id}, {"path", "outputs[2].gainDb"},
                {"value", -3.6}});
        QCOMPARE(a.answer(1).value("type").toString(), QString("ack"));
        QTRY_COMPARE_WITH_TIMEOUT(int(sim_.state(big_).params.out[2].gain), 93, 500);  // -3.5 dB
        const QJsonObject changed = b.next("changed", seen);
        QCOMPARE(changed.value("values").toObject().value("outputs[2].gainDb").toDouble(), -3.5);
        QCOMPARE(changed.value("by").toObject().value("client").toInt(),
                 a.next("welcome").value("client").toInt());

        seen = b.received.size();
        a.send({{"type", "set"}, {"id", 2}, {"unit", id}, {"path", "outputs[0].eq.points[3].gainDb"},
                {"value", 6}});
        const QJsonObject eq = b.next("changed", seen);
        const QJsonArray curve = eq.value("curves").toObject().value("out:1").toArray();
        QCOMPARE(curve.size(), 256);
        double peak = -100;
        for (const QJsonValue& v : curve) peak = std::max(peak, v.toDouble());
        QVERIFY2(std::abs(peak - 6) < 0.5, qPrintable(QString::number(peak)));

        // A delay typed in ms: the samples follow it.
        seen = b.received.size();
        a.send({{"type", "set"}, {"id", 7}, {"unit", id}, {"path", "outputs[3].delay.ms"},
                {"value", 2.5}});
        QCOMPARE(a.answer(7).value("type").toString(), QString("ack"));
        QTRY_COMPARE_WITH_TIMEOUT(int(sim_.state(big_).params.out[3].delay), 120, 500);
        const QJsonObject delay = b.next("changed", seen).value("values").toObject();
        QCOMPARE(delay.value("outputs[3].delay"),
                 QJsonValue(QJsonObject{{"ms", 2.5}, {"samples", 120}}));

        a.send({{"type", "set"}, {"id", 3}, {"unit", id}, {"path", "outputs[2].gainDb"}, {"value", 40}});
        QVERIFY(a.answer(3).value("reason").toString().startsWith("outputs[2].gainDb"));
        a.send({{"type", "set"}, {"id", 5}, {"unit", id}, {"path", "outputs[1].routing"},
                {"value", QJsonArray{"A", "C"}}});
        QCOMPARE(a.answer(5).value("type").toString(), QString("ack"));
        QTRY_COMPARE_WITH_TIMEOUT(
            int(sim::inputSelectBits(sim_.state(big_).params.out[1].inputSelectCode)), 0b101, 500);
        a.send({{"type", "set"}, {"id", 4}, {"unit", id}, {"path", "name"}, {"value", "x"}});
        a.send({{"type", "set"}, {"id", 6}, {"unit", id}, {"path", "outputs[1].gainDb"}});
        QCOMPARE(a.answer(6).value("reason").toString(), QString("\"value\" is missing"));
        // The program's language is English: so is the page, and so are its reasons.
        QCOMPARE(a.answer(4).value("reason").toString(),
                 QString("name is not a setting the remote can change"));
    }

    // A unit silent for 25 s is lost, and taken up again by itself within 5 s of answering.
    // It came back with another setting (changed at the unit meanwhile): nobody sits at serve
    // to choose, so the unit's settings are kept, said so, and the clients get them.
    void aLostUnitComesBackByItself() {
        Client c;
        QVERIFY(c.open(quint16(url_.port())));
        c.send({{"type", "hello"}, {"token", token_}});
        QString id;
        for (const QJsonValue& u : c.next("units").value("units").toArray())
            if (u.toObject().value("name") == "Fill") id = u.toObject().value("id").toString();
        c.send({{"type", "subscribe"}, {"units", QJsonArray{id}}});
        QVERIFY(!c.next("snapshot").isEmpty());
        const auto entry = [&id](const QJsonObject& units) {
            for (const QJsonValue& u : units.value("units").toArray())
                if (u.toObject().value("id") == id) return u.toObject();
            return QJsonObject();
        };
        sim::Faults silent;
        silent.dropRequests = 1.0;
        sim_.setFaults(small_, silent);
        QElapsedTimer clock;
        clock.start();
        // Told as it happens, with nothing looking at the units from time to time: not
        // answering once the answer limit has passed, then lost.
        QVERIFY(QTest::qWaitFor(
            [&] { return entry(c.last("units")).value("state") == "not-answering"; }, 3500));
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QJsonObject u = entry(c.last("units"));
                return u.value("state") == "offline" && u.value("reconnecting").toBool();
            },
            25000));
        auto s = sim_.state(small_);
        s.params.out[0].gain = 90;  // -5 dB, changed at the unit while it was away
        sim_.setState(small_, s);
        QTest::qWait(int(std::max<qint64>(0, 25000 - clock.elapsed())));
        const size_t seen = c.received.size();
        sim_.setFaults(small_, {});
        clock.restart();
        // A try that failed just before may still end with a snapshot of the old settings.
        const auto unitsGain = [](const QJsonObject& m) {
            return output(m, 0).value("gainDb").toDouble() == -5.0;
        };
        QVERIFY(QTest::qWaitFor([&] { return !c.next("snapshot", seen, unitsGain).isEmpty(); },
                                5000));
        QVERIFY2(clock.elapsed() <= 5000, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(entry(c.last("units")).value("state").toString(),
                                  QString("online"), 1000);
        QByteArray log;
        QVERIFY(QTest::qWaitFor(
            [&] { return (log += serve_.readAllStandardError()).contains("the unit's are kept"); },
            2000));
    }

    // Sets of a dragged fader merge on the server: fewer writes than sets, the last one holds.
    void aDragIsMergedAndEndsOnTheLastValue() {
        Client a;
        QVERIFY(watch(a));
        const size_t before = sim_.requests(big_).size();
        for (int i = 0; i < 20; ++i)
            a.send({{"type", "set"}, {"id", 100 + i}, {"unit", unit_}, {"path", "inputs[1].gainDb"},
                    {"value", -10 + 0.5 * i}, {"final", i == 19}});
        QTRY_COMPARE_WITH_TIMEOUT(a.count("ack"), 20, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(int(sim_.state(big_).params.in[1].gain), 99, 500);  // -0.5 dB
        const size_t writes = sim_.requests(big_).size() - before;
        QVERIFY2(writes < 20, qPrintable(QString::number(writes)));
    }

    void metersArriveAtTheRateAsked() {
        Client a;
        QVERIFY(watch(a, 15));
        QTest::qWait(300);  // the meter thread's first reading
        const size_t from = a.received.size();
        QTest::qWait(2000);
        const int frames = a.count("meters", from);
        QVERIFY2(frames >= 24 && frames <= 40, qPrintable(QString::number(frames)));
        const QJsonObject m = a.next("meters", from);
        QCOMPARE(m.value("outputs").toArray().size(), 8);
        QCOMPARE(m.value("inputs").toArray().size(), 4);
    }

    // Each code pairs one tablet: serve prints the next address, so a second one pairs too.
    void aSecondTabletPairsWithTheNextAddress() {
        const QUrl second = nextUrl();
        QVERIFY2(second.isValid() && second.port() == url_.port(), qPrintable(second.toString()));
        QVERIFY(second != url_);
        Client old, b;
        QVERIFY(old.open(quint16(url_.port())));
        old.send({{"type", "hello"}, {"pair", QUrlQuery(url_).queryItemValue("pair")}});
        QVERIFY(old.closedWith(1008));  // spent by the first tablet
        QVERIFY(b.open(quint16(url_.port())));
        b.send({{"type", "hello"},
                {"pair", QUrlQuery(second).queryItemValue("pair")},
                {"label", "Safari on iPad"}});
        secondToken_ = b.next("welcome").value("token").toString();
        QCOMPARE(secondToken_.size(), 32);
        QVERIFY(b.next("units").value("units").toArray().size() == 2);
        const QUrl third = nextUrl();
        QVERIFY(third.isValid() && third != second);
    }

    // paired lists both tablets from the settings file; unpair drops one that is connected
    // (serve closes it) and one that is not (its token opens nothing more).
    void pairingsAreListedAndDroppedFromTheCommandLine() {
        const QString config = dir_.filePath("QelConfig.ini");
        Client b;
        QVERIFY(b.open(quint16(url_.port())));
        b.send({{"type", "hello"}, {"token", secondToken_}});
        QVERIFY(!b.next("welcome").isEmpty());

        const CliRun listed = runCli({"paired", "--config", config, "--json"});
        QCOMPARE(listed.exitCode, 0);
        const QJsonArray pairings =
            QJsonDocument::fromJson(listed.out.toUtf8()).object().value("pairings").toArray();
        QCOMPARE(pairings.size(), 2);
        const QJsonObject first = pairings[0].toObject(), second = pairings[1].toObject();
        QCOMPARE(second.value("label").toString(), QString("Safari on iPad"));
        for (const QJsonObject& p : {first, second}) {
            QVERIFY(QDateTime::fromString(p.value("since").toString(), Qt::ISODate).isValid());
            QVERIFY(QDateTime::fromString(p.value("lastSeen").toString(), Qt::ISODate).isValid());
        }
        const CliRun text = runCli({"paired", "--config", config});
        QVERIFY2(
            text.out.contains(second.value("id").toString()) && text.out.contains("Safari on iPad"),
            qPrintable(text.out));

        // The connected one: serve closes it at once.
        QCOMPARE(runCli({"unpair", second.value("id").toString(), "--config", config}).exitCode, 0);
        QVERIFY(b.closedWith(1008));
        // The one not connected: its token is refused from now on.
        QCOMPARE(runCli({"unpair", first.value("id").toString(), "--config", config}).exitCode, 0);
        for (const QString& token : {token_, secondToken_}) {
            Client c;
            QVERIFY(c.open(quint16(url_.port())));
            c.send({{"type", "hello"}, {"token", token}});
            QVERIFY(c.closedWith(1008));
            QCOMPARE(c.count("welcome"), 0);
        }
        const CliRun again = runCli({"unpair", first.value("id").toString(), "--config", config});
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains("no pairing"), qPrintable(again.err));
        QVERIFY(runCli({"paired", "--config", config}).out.contains("No browser is paired."));
        QCOMPARE(runCli({"paired", "--config", dir_.filePath("none.ini")}).exitCode, 1);
    }

    // On a terminal, each address comes with a QR code that a reader decodes to it.
    void onATerminalTheAddressComesWithAQrCode() {
        int master = -1, slave = -1;
        QVERIFY(::openpty(&master, &slave, nullptr, nullptr, nullptr) == 0);
        termios raw{};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);  // no newline translation
        ::tcsetattr(slave, TCSANOW, &raw);
        QProcess serve;
        serve.setStandardOutputFile(QString::fromLocal8Bit(::ptsname(master)));
        serve.start(QStringLiteral(QUELLMAR_CLI),
                    {"serve", "--listen", "127.0.0.1:0", "--ip", QString::fromStdString(ip206_),
                     "--local-port", "0", "--config", dir_.filePath("terminal.ini")});
        QVERIFY(serve.waitForStarted());
        // The address, then the code's rows: its first holds only the quiet zone, as wide as
        // the code is high.
        const QString shown = readTerminal(master, [](const QString& text) {
            const QStringList lines = text.split('\n');
            const qsizetype side = lines.size() > 2 ? lines[1].count(QChar(0x2588)) : 0;
            return side > 0 && lines.size() - 2 >= (side + 1) / 2;
        });
        ::kill(pid_t(serve.processId()), SIGTERM);
        QVERIFY(serve.waitForFinished(5000));
        ::close(master);
        ::close(slave);
        QStringList lines = shown.split('\n');
        QVERIFY2(lines.size() > 3, qPrintable(shown));
        const QString url = lines.takeFirst().trimmed();
        QVERIFY(url.startsWith("http://127.0.0.1:") && url.contains("/?pair="));
        lines.removeLast();
        QCOMPARE(decodeBlocks(lines, dir_.path()), url);
    }

    // SIGTERM: the units are told that we let go of them and the program ends with 0.
    void terminationEndsCleanly() {
        ::kill(pid_t(serve_.processId()), SIGTERM);
        QVERIFY(serve_.waitForFinished(5000));
        QCOMPARE(serve_.exitStatus(), QProcess::NormalExit);
        QCOMPARE(serve_.exitCode(), 0);
        for (int unit : {big_, small_}) QCOMPARE(sim_.requests(unit).back().frame[9], 0x00);
    }

    // Serve again, without the small unit and in Chinese: a tablet left open keeps its unit,
    // and one open on the small unit is told, in Chinese, that it is gone.
    void idsOutliveARestartWithoutTheRemovedUnit() {
        QProcess serve;
        serve.start(QStringLiteral(QUELLMAR_CLI),
                    {"serve", "--listen", "127.0.0.1:0", "--ip", QString::fromStdString(ip408_),
                     "--local-port", "0", "--config", dir_.filePath("chinese.ini")});
        QVERIFY(QTest::qWaitFor([&] { return serve.canReadLine(); }, 15000));
        const QUrl url(QString::fromUtf8(serve.readLine()).trimmed());
        Client c;
        QVERIFY(c.open(quint16(url.port())));
        c.send({{"type", "hello"}, {"pair", QUrlQuery(url).queryItemValue("pair")}});
        const QJsonArray units = c.next("units").value("units").toArray();
        QCOMPARE(units.size(), 1);
        QCOMPARE(units[0].toObject().value("id").toString(), unit_);
        c.send({{"type", "subscribe"}, {"units", QJsonArray{unit_, smallUnit_}}});
        QCOMPARE(c.next("snapshot").value("unit").toString(), unit_);
        const QString reason =
            QStringLiteral("设备列表中没有设备 %1: 它可能已被移除或改名").arg(smallUnit_);
        QCOMPARE(c.next("gone").value("reason").toString(), reason);
        c.send({{"type", "set"},
                {"id", 1},
                {"unit", smallUnit_},
                {"path", "outputs[0].mute"},
                {"value", true}});
        QVERIFY(c.answer(1).value("gone").toBool());
        QCOMPARE(c.answer(1).value("reason").toString(), reason);

        // The API finds the unit by its id; the removed one is not found, with the reason.
        const QString token = c.last("welcome").value("token").toString();
        QCOMPARE(apiGet(url, token, unit_).first, 200);
        const auto [status, body] = apiGet(url, token, smallUnit_);
        QCOMPARE(status, 404);
        QCOMPARE(body.value("reason").toString(), reason);
        ::kill(pid_t(serve.processId()), SIGTERM);
        QVERIFY(serve.waitForFinished(5000));
    }
};

QTEST_MAIN(RemoteServeTest)
#include "RemoteServeTest.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QCheckBox>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <QUrlQuery>

#include "device/EditHistory.h"
#include "device/GroupControl.h"
#include "editor/QelEquipmentDlg.h"
#include "link/EquipmentList.h"
#include "remote/OscServer.h"
#include "remote/RemoteHub.h"
#include "remote/RemoteWords.h"
#include "remote/dialog/OscSection.h"
#include "remote/dialog/RemoteDlg.h"
#include "shell/FrameRemoteUnits.h"
#include "support/AppRig.h"
#include "support/WebSocketClient.h"
#include "ui/EditWords.h"
#include "ui/QelConnectDlg.h"

using namespace qel;

// The remote control in the window program: the window that switches it on and pairs, and
// remote edits that go through an open editor's edit path.
class RemoteDesktopTest : public QObject {
    Q_OBJECT

private slots:
    void remoteEditsShowInTheEditorWhichCanUndoThem() {
        test::AppRig rig;
        const int sim = rig.addNetworkUnit(4, "Main Stage");
        QVERIFY(sim >= 0 && rig.start());
        QTRY_COMPARE_WITH_TIMEOUT(rig.app().equipment().count(), size_t{1}, 5000);
        const auto unit = rig.app().equipment().at(0);
        RemoteHub& hub = rig.frame().remote();

        // The window switches the remote on and shows where to pair.
        RemoteDlg dialog(hub, rig.app().configPath());
        dialog.portBox()->setValue(test::freeTcpPort());  // 8740 may be taken by a running program
        dialog.enabledBox()->setChecked(true);
        QVERIFY(hub.running());
        const QUrl url(dialog.urlText()->text());
        QCOMPARE(url.host(), QString("127.0.0.1"));
        QVERIFY(!dialog.qrCode()->pixmap().isNull());

        test::WebSocketClient client;
        QVERIFY(client.open(quint16(url.port())));
        client.send({{"type", "hello"},
                     {"pair", QUrlQuery(url).queryItemValue("pair")},
                     {"label", "Tablet"}});
        QVERIFY(!client.last("welcome").isEmpty());
        // The window program's groups come after the units, and again as they change.
        QVERIFY(client.last("groups").value("groups").toArray().isEmpty());
        QVERIFY(rig.app().groups().addGroup("Mains"));
        const auto one = [](const QJsonObject& m) {
            return m.value("groups").toArray().size() == 1;
        };
        QVERIFY(!client.next("groups", 0, one).isEmpty());
        QTRY_COMPARE(dialog.clientList()->topLevelItemCount(), 1);
        QCOMPARE(dialog.clientList()->topLevelItem(0)->text(0), QString("Tablet"));
        QVERIFY(QUrl(dialog.urlText()->text()) != url);  // the code was spent

        const QString id =
            client.last("units").value("units").toArray()[0].toObject().value("id").toString();
        client.send({{"type", "set"},
                     {"id", 1},
                     {"unit", id},
                     {"path", "outputs[0].gainDb"},
                     {"value", -6}});
        QCOMPARE(client.answer(1).value("reason").toString(), RemoteWords::notRead());

        rig.frame().openUnit(unit);
        CQelEquipmentDlg* editor = rig.frame().editorOf(*unit);
        QVERIFY(editor);
        client.send({{"type", "subscribe"}, {"units", "*"}});
        QVERIFY(!client.next("snapshot").isEmpty());
        client.send({{"type", "set"},
                     {"id", 2},
                     {"unit", id},
                     {"path", "outputs[0].gainDb"},
                     {"value", -6}});
        QCOMPARE(client.answer(2).value("type").toString(), QString("ack"));
        QCOMPARE(editor->edit().image().record().output(0).gain(), 88);  // -6 dB
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.sim().state(sim).params.out[0].gain), 88, 500);
        EditHistory& undo = editor->history();
        QCOMPARE(
            undo.undoText(),
            EditWords::tr("%1 (远程客户端 %2)")
                .arg(EditWords::tr("%1 增益 %2 dB").arg(EditWords::tr("输出 %1").arg(1), "-6.0"))
                .arg(1));

        // The desktop takes it back: the client is told, by the desktop.
        const size_t seen = client.received.size();
        undo.undo();
        const QJsonObject changed = client.next("changed", seen);
        QCOMPARE(changed.value("by").toObject().value("kind").toString(), QString("desktop"));
        QCOMPARE(changed.value("values").toObject().value("outputs[0].gainDb").toDouble(), 0.0);
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.sim().state(sim).params.out[0].gain), 100, 500);

        // A download holds the unit: the client is told, and then gets the unit as it is.
        const size_t before = client.received.size();
        sim::Faults slow;
        slow.replyDelayMs = 2;  // long enough for the hub to see the download
        rig.sim().setFaults(sim, slow);
        // Sent now, it reaches the hub while the download runs: it is refused.
        client.send({{"type", "set"},
                     {"id", 3},
                     {"unit", id},
                     {"path", "outputs[0].mute"},
                     {"value", true}});
        QCOMPARE(editor->runTransfer(CQelConnectDlg::Mode::Download, editor),
                 UnitTransfer::Result::Success);
        const auto busy = [&](bool on) {
            return client.next("busy", before, [on](const QJsonObject& m) {
                return m.value("busy").toBool() == on;
            });
        };
        QVERIFY(!busy(true).isEmpty());
        QCOMPARE(client.answer(3).value("reason").toString(), RemoteWords::busy());
        QVERIFY(!busy(false).isEmpty());
        const auto at = [&](const QString& type) {
            size_t i = before;
            while (i < client.received.size() && client.received[i].value("type") != type) ++i;
            return i;
        };
        QVERIFY(at("busy") < at("snapshot") && at("snapshot") < client.received.size());

        // Dropped from the window: closed, and its token pairs no more.
        const QString token = client.last("welcome").value("token").toString();
        dialog.clientList()->setCurrentItem(dialog.clientList()->topLevelItem(0));
        dialog.dropButton()->click();
        QVERIFY(client.closedWith(1008));
        QVERIFY(!hub.auth().accepts(token));
        dialog.enabledBox()->setChecked(false);
        QVERIFY(!hub.running());
    }

    // A client opens a unit nobody connected at the desk: the program reads it for the client,
    // whose edit reaches the unit with no editor open. The editor opened afterwards is a view
    // of the same session: it shows the edit and its Ctrl+Z takes it back, after a close and
    // reopen too. A unit connected for the clients alone goes once the last has left it.
    void aClientReachesAUnitNoEditorOpenedAndTheEditorUndoesItsEdit() {
        test::AppRig rig;
        const int main = rig.addNetworkUnit(4, "Main Stage");
        const int side = rig.addNetworkUnit(2, "Side");
        QVERIFY(main >= 0 && side >= 0 && rig.start());
        QTRY_COMPARE_WITH_TIMEOUT(rig.app().equipment().count(), size_t{2}, 5000);
        std::shared_ptr<Equipment> unit, other;
        for (const auto& u : rig.app().equipment().snapshot())
            (u->modelCode() == 4 ? unit : other) = u;
        RemoteHub& hub = rig.frame().remote();
        rig.frame().remoteUnits().setLetGoMs(300);
        RemoteHub::Settings settings;
        settings.port = test::freeTcpPort();
        QVERIFY(hub.start(settings));
        const QUrl url(hub.pairingUrl());
        test::WebSocketClient client;
        QVERIFY(client.open(quint16(url.port())));
        client.send({{"type", "hello"},
                     {"pair", QUrlQuery(url).queryItemValue("pair")},
                     {"label", "Tablet"}});
        QVERIFY(!client.last("welcome").isEmpty());
        client.send({{"type", "subscribe"}, {"units", "*"}});
        QString id, otherId;
        for (const QJsonValue& u : client.last("units").value("units").toArray())
            (u.toObject().value("model") == "QD408" ? id : otherId) =
                u.toObject().value("id").toString();

        const auto stateOf = [](const QJsonObject& units, const QString& unitId) {
            for (const QJsonValue& u : units.value("units").toArray())
                if (u.toObject().value("id") == unitId) return u.toObject().value("state").toString();
            return QString();
        };
        const size_t seen = client.received.size();
        client.send({{"type", "open"}, {"unit", id}});
        QVERIFY(!client.next("units", seen, [&](const QJsonObject& m) {
                    return stateOf(m, id) == "reading";
                }).isEmpty());
        QVERIFY(!client.next("snapshot", seen, [&](const QJsonObject& m) {
                    return m.value("unit") == id;
                }).isEmpty());
        QVERIFY(rig.app().sessions().of(*unit));
        QVERIFY(!rig.frame().editorOf(*unit));
        client.send({{"type", "set"},
                     {"id", 1},
                     {"unit", id},
                     {"path", "outputs[1].mute"},
                     {"value", true}});
        QCOMPARE(client.answer(1).value("type").toString(), QString("ack"));
        QTRY_VERIFY_WITH_TIMEOUT(rig.sim().state(main).params.out[1].mute, 1000);

        // The desk opens it: no new connection, the same session, the client's edit shown.
        UnitSession* session = rig.app().sessions().of(*unit);
        rig.frame().openUnit(unit);
        CQelEquipmentDlg* editor = rig.frame().editorOf(*unit);
        QVERIFY(editor && &editor->session() == session);
        QVERIFY(editor->edit().image().record().output(1).mute());
        editor->close();
        rig.frame().openUnit(unit);
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.sim().state(main).params.out[1].mute, 1000);
        QVERIFY(!editor->edit().image().record().output(1).mute());

        // The other unit, opened and left by the client alone, is let go; the desk's stays.
        client.send({{"type", "open"}, {"unit", otherId}});
        QTRY_VERIFY_WITH_TIMEOUT(rig.app().sessions().of(*other), 5000);
        client.send({{"type", "open"}, {"unit", QJsonValue()}});
        QTRY_VERIFY_WITH_TIMEOUT(!rig.app().sessions().of(*other), 3000);
        QVERIFY(!other->linkRunning());
        QVERIFY(rig.app().sessions().of(*unit));
    }

    // Every pairing is listed, a tablet kept from before as well as one that went away, with
    // its name, since when, last seen and whether it is connected; either can be dropped.
    void pairingsNotConnectedAreListedAndDropped() {
        test::AppRig rig;
        QVERIFY(rig.start());
        // A pairing as the program kept it before names and last-seen times were listed.
        const QString oldToken(32, 'a');
        const QDateTime oldSince(QDate(2026, 1, 5), QTime(9, 30), Qt::UTC);
        {
            QSettings ini(rig.app().configPath(), QSettings::IniFormat);
            ini.beginWriteArray("Remote/Paired", 1);
            ini.setArrayIndex(0);
            ini.setValue(
                "hash",
                QCryptographicHash::hash(oldToken.toLatin1(), QCryptographicHash::Sha256).toHex());
            ini.setValue("label", "Old tablet");
            ini.setValue("since", oldSince);
            ini.endArray();
        }
        RemoteHub& hub = rig.frame().remote();
        RemoteDlg dialog(hub, rig.app().configPath());
        dialog.portBox()->setValue(test::freeTcpPort());
        dialog.enabledBox()->setChecked(true);
        QVERIFY(hub.running());
        QTreeWidget& list = *dialog.clientList();
        QCOMPARE(list.topLevelItemCount(), 1);
        const auto row = [&](int i) {
            QStringList texts;
            for (int c = 0; c < list.columnCount(); ++c) texts << list.topLevelItem(i)->text(c);
            return texts;
        };
        const QString notConnected = RemoteDlg::tr("未连接");
        QCOMPARE(row(0),
                 (QStringList{"Old tablet", oldSince.toLocalTime().toString("yyyy-MM-dd HH:mm"),
                              "-", notConnected}));

        // The old one comes back; a new one pairs under its name and goes away again.
        test::WebSocketClient old, gone;
        QVERIFY(old.open(hub.server().port()));
        old.send({{"type", "hello"}, {"token", oldToken}});
        QVERIFY(!old.last("welcome").isEmpty());
        const QUrl url(dialog.urlText()->text());
        QVERIFY(gone.open(hub.server().port()));
        gone.send({{"type", "hello"},
                   {"pair", QUrlQuery(url).queryItemValue("pair")},
                   {"label", "Chromium on Linux"}});
        const QString goneToken = gone.last("welcome").value("token").toString();
        QVERIFY(!goneToken.isEmpty());
        QTRY_COMPARE(row(1)[3], RemoteDlg::tr("已连接"));
        gone.socket.close();
        QTRY_COMPARE(row(1)[3], notConnected);
        const QString now = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm");
        QCOMPARE(row(1)[0], QString("Chromium on Linux"));
        QVERIFY(row(1)[1] <= now && row(1)[2] <= now && row(1)[2] >= row(1)[1]);
        QCOMPARE(row(0)[3], RemoteDlg::tr("已连接"));
        QCOMPARE(list.topLevelItem(0)->toolTip(3), QString("127.0.0.1"));
        QVERIFY(row(0)[2] != "-" && row(0)[2] <= now);  // seen when it came back

        // Dropped while away: its token opens nothing, here or after a restart.
        list.setCurrentItem(list.topLevelItem(1));
        dialog.dropButton()->click();
        QCOMPARE(list.topLevelItemCount(), 1);
        test::WebSocketClient back;
        QVERIFY(back.open(hub.server().port()));
        back.send({{"type", "hello"}, {"token", goneToken}});
        QVERIFY(back.closedWith(1008));
        QVERIFY(!RemoteAuth(rig.app().configPath()).accepts(goneToken));
        // Dropped while connected: closed at once.
        list.setCurrentItem(list.topLevelItem(0));
        dialog.dropButton()->click();
        QVERIFY(old.closedWith(1008));
        QCOMPARE(list.topLevelItemCount(), 0);
        QVERIFY(!dialog.dropButton()->isEnabled());
    }

    // The window's OSC section switches the server on where it says and keeps that; a set of
    // a sender is an undo step named by it, and the sender is listed.
    void theOscSectionSwitchesOscOn() {
        test::AppRig rig;
        const int sim = rig.addNetworkUnit(4, "Main");
        QVERIFY(sim >= 0 && rig.start());
        QTRY_COMPARE_WITH_TIMEOUT(rig.app().equipment().count(), size_t{1}, 5000);
        const auto unit = rig.app().equipment().at(0);
        rig.frame().openUnit(unit);
        CQelEquipmentDlg* editor = rig.frame().editorOf(*unit);
        QVERIFY(editor);
        OscServer& osc = rig.frame().remote().osc();
        RemoteDlg dialog(rig.frame().remote(), rig.app().configPath());
        OscSection& section = *dialog.oscSection();
        QVERIFY(!osc.running() && !section.enabledBox()->isChecked());

        section.allowText()->setText("10.0.0.0/33");
        section.enabledBox()->setChecked(true);  // no network: not started
        QVERIFY(!osc.running() && !section.enabledBox()->isChecked());
        QVERIFY(section.stateText()->text().contains("10.0.0.0/33"));
        section.allowText()->setText("127.0.0.0/8, 192.168.6.0/24");
        const quint16 port = quint16(test::freeTcpPort());
        section.portBox()->setValue(port);
        section.enabledBox()->setChecked(true);
        QVERIFY(osc.running());
        QCOMPARE(osc.port(), port);
        const OscServer::Settings kept = OscServer::Settings::load(rig.app().configPath());
        QVERIFY(kept.enabled);
        QCOMPARE(kept.port, port);
        QCOMPARE(kept.allow, (QStringList{"127.0.0.0/8", "192.168.6.0/24"}));

        QProcess send;
        send.start("oscsend", {"127.0.0.1", QString::number(port), "/quellmar/unit/Main/out/2/mute",
                               "i", "1"});
        QVERIFY(send.waitForFinished());
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.sim().state(sim).params.out[1].mute), 1, 2000);
        QTRY_COMPARE(section.senderList()->topLevelItemCount(), 1);
        const QString sender = section.senderList()->topLevelItem(0)->text(0);
        QVERIFY(sender.startsWith("127.0.0.1:"));
        QCOMPARE(section.senderList()->topLevelItem(0)->text(2), QString("1"));
        const QString muted = EditWords::tr("%1 静音").arg(EditWords::tr("输出 %1").arg(2));
        QCOMPARE(editor->history().undoText(), EditWords::tr("%1 (OSC %2)").arg(muted, sender));

        section.enabledBox()->setChecked(false);
        QVERIFY(!osc.running());
        QVERIFY(!OscServer::Settings::load(rig.app().configPath()).enabled);
    }
};

QTEST_MAIN(RemoteDesktopTest)
#include "RemoteDesktopTest.moc"

#include "Command.h"
#include "ModuleCommands.h"
#include "ProgramTransfer.h"
#include "PtyPeer.h"
#include "PtySimProcess.h"
#include "SerialConnection.h"
#include "TestData.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <unistd.h>

Q_DECLARE_METATYPE(PtyPeer::Mode)

// The serial link end to end: against `krol sim --pty`, and against a peer that answers badly.
class tst_SerialLink : public QObject
{
    Q_OBJECT

private slots:
    void againstVirtualModule();
    void faults_data();
    void faults();
    void closedMidTransfer();
    void quietAfterSilence();
    void openFailures_data();
    void openFailures();
    void portInUse();
};

namespace {

// Short time-outs: the peer answers at once when it answers at all; room left for a slow,
// instrumented build on a busy machine.
constexpr int TimeoutMs = 150;

TSerialSettings settingsFor(const QString& port, int timeoutMs = TimeoutMs)
{
    TSerialSettings s;
    s.Port = port;
    s.TimeoutMs = timeoutMs;
    return s;
}

Command ask(SerialConnection& link, unsigned char command, unsigned short type = 0, int value = 0)
{
    Command reply;
    link.doDirectRequest(new Command(PtyPeer::ModuleAddress, command, type, 0, value, false, 12), &reply);
    return reply;
}

} // namespace

void tst_SerialLink::againstVirtualModule()
{
    PtySimProcess sim;
    QVERIFY2(sim.start({"--baud", "0"}), qPrintable(sim.errorOutput()));
    // The module is another process on a busy machine: time-outs here only bound a failure.
    SerialConnection link(settingsFor(sim.path(), 2000));
    QString error;
    QVERIFY2(link.open(&error), qPrintable(error));

    QList<TInstruction> program{MakeInstruction(Opcode::SAP, 4, 0, 1000), MakeInstruction(Opcode::WAIT, 0, 0, 1000),
                                MakeInstruction(Opcode::JA, 0, 0, 1), MakeInstruction(Opcode::STOP)};
    for (int i = 0; i < 300; ++i)   // a longer program: many frames in a row
        program.insert(3, MakeInstruction(Opcode::CALC, 1, 0, -i));
    ProgramTransfer transfer(&link);
    transfer.SetInstructionList(&program);
    QVERIFY2(transfer.Download(PtyPeer::ModuleAddress), qPrintable(transfer.FailureReason()));

    QList<TInstruction> back;
    transfer.SetInstructionList(&back);
    QVERIFY2(transfer.Upload(PtyPeer::ModuleAddress), qPrintable(transfer.FailureReason()));
    QCOMPARE(back.size(), program.size());
    for (int i = 0; i < program.size(); ++i) {
        QCOMPARE(back.at(i).Opcode, program.at(i).Opcode);
        QCOMPARE(back.at(i).Type, program.at(i).Type);
        QCOMPARE(back.at(i).Motor, program.at(i).Motor);
        QCOMPARE(back.at(i).Value, program.at(i).Value);
    }

    // A direct-mode instruction answers with its value.
    Command sap;
    link.doDirectRequest(new Command(PtyPeer::ModuleAddress, Opcode::SAP, 4, 0, 1234, false, 12), &sap);
    QCOMPARE(int(sap.status()), int(ReplyStatus::Ok));
    Command gap;
    link.doDirectRequest(new Command(PtyPeer::ModuleAddress, Opcode::GAP, 4, 0, 0, false, 12), &gap);
    QCOMPARE(gap.value(), 1234);
    QCOMPARE(int(gap.address()), int(PtyPeer::ModuleAddress));
    QCOMPARE(int(gap.command()), int(Opcode::GAP));

    QVERIFY(sim.stop());
}

void tst_SerialLink::faults_data()
{
    QTest::addColumn<PtyPeer::Mode>("mode");
    QTest::addColumn<QString>("message");

    QTest::newRow("late") << PtyPeer::Late << "no reply from the module on %P within 150 ms";
    QTest::newRow("silent") << PtyPeer::Silent << "no reply from the module on %P within 150 ms";
    QTest::newRow("garbled") << PtyPeer::Garbled << "invalid reply from %P: 9 bytes that form no reply within 150 ms";
    QTest::newRow("short") << PtyPeer::Short << "invalid reply from %P: 5 of 9 bytes within 150 ms";
    QTest::newRow("wrong checksum") << PtyPeer::WrongChecksum
                                    << "invalid reply from %P: wrong checksum \\(\\d+, the bytes add up to \\d+\\)";
    QTest::newRow("wrong address") << PtyPeer::WrongAddress
                                   << "invalid reply from %P: addressed to 3, not to this host \\(2\\)";
}

void tst_SerialLink::faults()
{
    QFETCH(PtyPeer::Mode, mode);
    QFETCH(QString, message);
    PtyPeer peer;
    QString error;
    QVERIFY2(peer.start(&error), qPrintable(error));
    peer.setLateMs(3 * TimeoutMs);
    SerialConnection link(settingsFor(peer.path()));
    QSignalSpy answering(&link, &SerialConnection::answeringChanged);
    QVERIFY2(link.open(&error), qPrintable(error));

    // Answered requests return at once: only the failing one has the short time-out.
    link.setTimeoutMs(2000);
    QCOMPARE(ask(link, ModuleCommand::GetStatus, 1, 10).value(), 11);
    link.setTimeoutMs(TimeoutMs);
    peer.setMode(mode);
    QElapsedTimer clock;
    clock.start();
    const Command bad = ask(link, ModuleCommand::GetStatus, 1, 20);
    QVERIFY(!bad.isValid());
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY2(QRegularExpression('^' + message.replace("%P", QRegularExpression::escape(peer.path())) + '$')
                 .match(link.lastError())
                 .hasMatch(),
             qPrintable(link.lastError()));

    // Whatever is still on its way belongs to the failed request; the next one gets its own.
    peer.setMode(PtyPeer::Good);
    if (mode == PtyPeer::Late)
        QTest::qWait(3 * TimeoutMs);
    link.setTimeoutMs(2000);
    const Command next = ask(link, ModuleCommand::GetStatus, 1, 30);
    QVERIFY2(next.isValid(), qPrintable(link.lastError()));
    QCOMPARE(next.value(), 31);
    QVERIFY(link.lastError().isEmpty());
    QCOMPARE(answering.size(), 3);
    QCOMPARE(answering.at(1).at(0).toBool(), false);
    QCOMPARE(answering.at(2).at(0).toBool(), true);
}

void tst_SerialLink::closedMidTransfer()
{
    PtyPeer peer;
    QString error;
    QVERIFY2(peer.start(&error), qPrintable(error));
    SerialConnection link(settingsFor(peer.path(), 2000));
    QVERIFY2(link.open(&error), qPrintable(error));

    QList<TInstruction> program;
    for (int i = 0; i < 50; ++i)
        program << MakeInstruction(Opcode::SAP, 4, 0, i);
    // The peer accepts DownloadStart and three words, then its line goes away.
    QObject context;
    QString firstFailure;
    connect(&link, &SerialConnection::answeringChanged, &context, [&](bool answering) {
        if (!answering)
            firstFailure = link.lastError();
    });
    ProgramTransfer transfer(&link);
    connect(&transfer, &ProgramTransfer::downloadProgress, &context, [&peer](int index) {
        if (index == 2)
            peer.setMode(PtyPeer::Close);
    });
    transfer.SetInstructionList(&program);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!transfer.Download(PtyPeer::ModuleAddress));
    QVERIFY(clock.elapsed() < 2000);
    QVERIFY2(!transfer.IsLastReplyValid(), qPrintable(link.lastError() + QString::number(peer.requests())));
    QCOMPARE(peer.requests(), 5);
    QVERIFY(!link.isOpen());
    QCOMPARE(firstFailure, QStringLiteral("the port %1 went away (unplugged?); the module is not connected.")
                               .arg(peer.path()));
    const QString gone = QStringLiteral("cannot open %1: there is no such port. Check the device name and that the "
                                        "module is plugged in and switched on.")
                             .arg(peer.path());
    QCOMPARE(link.lastError(), gone);
    // The port is gone for good: every further request says so at once.
    QVERIFY(!ask(link, ModuleCommand::GetStatus, 1).isValid());
    QCOMPARE(link.lastError(), gone);
}

void tst_SerialLink::quietAfterSilence()
{
    PtyPeer peer;
    QString error;
    QVERIFY2(peer.start(&error), qPrintable(error));
    SerialConnection link(settingsFor(peer.path()));
    link.setQuietMs(300);
    QVERIFY2(link.open(&error), qPrintable(error));
    peer.setMode(PtyPeer::Silent);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!ask(link, ModuleCommand::GetStatus, 1).isValid());
    QVERIFY(clock.elapsed() >= TimeoutMs);
    const QString reason = link.lastError();
    // Within the quiet time the module is not asked at all.
    peer.setMode(PtyPeer::Good);
    const int asked = peer.requests();
    clock.start();
    QVERIFY(!ask(link, ModuleCommand::GetStatus, 1).isValid());
    QVERIFY(clock.elapsed() < TimeoutMs);
    QCOMPARE(link.lastError(), reason);
    QCOMPARE(peer.requests(), asked);
    // After it, the next request goes out and is answered.
    link.setTimeoutMs(2000);
    QTRY_VERIFY(ask(link, ModuleCommand::GetStatus, 1, 1).value() == 2);
}

void tst_SerialLink::openFailures_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing") << "/dev/krol-no-such-port"
                             << "cannot open /dev/krol-no-such-port: there is no such port. Check the device "
                                "name and that the module is plugged in and switched on.";
    QTest::newRow("not a terminal") << "%T/plain-file" << "cannot open %T/plain-file: .+";
    QTest::newRow("no permission") << "%T/locked" << "cannot open %T/locked: permission denied. Serial ports may "
                                                     "be opened by the members of the group '\\w+': run 'sudo "
                                                     "usermod -aG \\w+ \\$USER' and log in again.";
}

void tst_SerialLink::openFailures()
{
    QFETCH(QString, port);
    QFETCH(QString, message);
    QTemporaryDir dir;
    WriteTestFile(dir.filePath("plain-file"), "not a port");
    QFile::setPermissions(WriteTestFile(dir.filePath("locked"), ""), QFile::ReadOwner);
    if (port.endsWith("locked") && ::geteuid() == 0)
        QSKIP("root opens every file");
    port.replace("%T", dir.path());
    message.replace("%T", QRegularExpression::escape(dir.path()));

    SerialConnection link(settingsFor(port));
    QString error;
    QVERIFY(!link.open(&error));
    QVERIFY2(QRegularExpression('^' + message + '$').match(error).hasMatch(), qPrintable(error));
    // A request through a link that cannot open fails at once with the same message.
    QVERIFY(!ask(link, ModuleCommand::GetStatus, 1).isValid());
    QCOMPARE(link.lastError(), error);
}

void tst_SerialLink::portInUse()
{
    PtyPeer peer;
    QString error;
    QVERIFY2(peer.start(&error), qPrintable(error));
    SerialConnection first(settingsFor(peer.path(), 2000));
    QVERIFY2(first.open(&error), qPrintable(error));
    SerialConnection second(settingsFor(peer.path()));
    QVERIFY(!second.open(&error));
    QCOMPARE(error, QStringLiteral("cannot open %1: the port is in use by another program. Close that program "
                                   "and try again.")
                        .arg(peer.path()));
    QCOMPARE(ask(first, ModuleCommand::GetStatus, 1, 4).value(), 5);
}

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"

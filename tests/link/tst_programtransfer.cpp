#include "ModuleCommands.h"
#include "ProgramTransfer.h"
#include "RecordingConnection.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(QList<TInstruction>)

namespace {

constexpr int Invalid = -1;           // a reply from a module that did not answer
constexpr int StoredButInvalid = -2;  // status 101 in a reply that is not valid

TInstruction I(int opcode, int type, int motor, qint64 value)
{
    TInstruction i;
    i.Opcode = uint8_t(opcode);
    i.Type = uint16_t(type);
    i.Motor = uint8_t(motor);
    i.Value = value;
    return i;
}

// The reply a module gives to ReadMem: the stored word in the reply's own fields.
Command Word(const TInstruction& i)
{
    Command c;
    c.setAddress(i.Opcode);
    c.setStatus(uint8_t(i.Type));
    c.setCommand(i.Motor);
    c.setValue(int(i.Value));
    c.setValid(true);
    return c;
}

Command Answer(int status)
{
    if (status == Invalid)
        return Command();
    Command c = RecordingConnection::reply(uint8_t(status == StoredButInvalid ? 101 : status));
    c.setValid(status != StoredButInvalid);
    return c;
}

// A module that accepts everything, except that request number faultAt gets faultStatus.
void ScriptDownload(RecordingConnection& module, int faultAt, int faultStatus)
{
    auto count = std::make_shared<int>(0);
    module.setResponder([=](const Command& request) {
        const int index = (*count)++;
        if (index == faultAt)
            return Answer(faultStatus);
        const bool stores = request.command() != ModuleCommand::DownloadStart
                            && request.command() != ModuleCommand::DownloadEnd && request.command() != 0;
        return Answer(stores ? 101 : 100);
    });
}

QList<int> CommandBytes(const RecordingConnection& module)
{
    QList<int> bytes;
    for (const Command& c : module.requests())
        bytes.append(c.command());
    return bytes;
}

} // namespace

class tst_ProgramTransfer : public QObject
{
    Q_OBJECT

private slots:
    void download_data();
    void download();
    void downloadRequests();
    void downloadAbort();
    void upload_data();
    void upload();
    void uploadAbort();
    void withoutHandler();
};

void tst_ProgramTransfer::download_data()
{
    QTest::addColumn<int>("faultAt");        // index of the request whose reply is scripted
    QTest::addColumn<int>("faultStatus");
    QTest::addColumn<QList<int>>("commands"); // command bytes sent, in order
    QTest::addColumn<bool>("successful");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("error");  // text, informative, label; empty: none

    const QList<int> all{132, 1, 22, 5, 0, 133};
    QTest::newRow("complete") << -1 << 0 << all << true << true << QStringList();
    QTest::newRow("write protected") << 0 << 8 << QList<int>{132} << false << false
        << QStringList{"The module is write protected.",
                       "Remove the write protection before trying again", "Module is write protected!"};
    QTest::newRow("motors running") << 0 << 10 << QList<int>{132} << false << false
        << QStringList{"Downloading a program to the module is not possible at this moment.",
                       "Please stop all motors before trying again.", "Download not possible!"};
    QTest::newRow("start refused otherwise") << 0 << 5 << QList<int>{132} << false << false
        << QStringList{"The module refused to enter download mode.", "It answered with status 5.",
                       "Download refused!"};
    QTest::newRow("start not answered") << 0 << Invalid << QList<int>{132} << false << false
        << QStringList{"The module did not answer.", "Check the connection to the module and try again.",
                       "No answer from the module!"};
    QTest::newRow("verify error") << 2 << 7 << QList<int>{132, 1, 22, 0, 133} << false << false
        << QStringList{"An error has occured while downloading the program.", "EEPROM verify error.",
                       "EEPROM verfiy error."};
    QTest::newRow("other status") << 1 << 2 << QList<int>{132, 1, 0, 133} << false << false
        << QStringList{"An error has ocurred while downloading the program.", "Please try again.",
                       "Download error."};
    QTest::newRow("store not answered") << 3 << Invalid << all << false << false
        << QStringList{"An error has ocurred while downloading the program.", "Please try again.",
                       "Download error."};
    QTest::newRow("stored but not valid") << 1 << StoredButInvalid << QList<int>{132, 1, 0, 133}
                                          << true << false << QStringList();
    QTest::newRow("end not answered") << 5 << Invalid << all << true << false << QStringList();
}

void tst_ProgramTransfer::download()
{
    QFETCH(int, faultAt);
    QFETCH(int, faultStatus);
    QFETCH(bool, successful);
    QFETCH(QStringList, error);

    RecordingConnection module;
    ScriptDownload(module, faultAt, faultStatus);
    QList<TInstruction> program{I(1, 0, 0, 1000), I(22, 0, 0, 0), I(5, 4, 1, -1)};
    ProgramTransfer transfer(&module);
    transfer.SetInstructionList(&program);
    QSignalSpy errors(&transfer, &ProgramTransfer::error);
    QSignalSpy finished(&transfer, &ProgramTransfer::finished);

    const bool ok = transfer.Download(1);
    QTEST(ok, "ok");
    QTEST(CommandBytes(module), "commands");
    QCOMPARE(transfer.IsDownloadSuccessful(), successful);
    QVERIFY(!transfer.IsBusy());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), ok);
    QCOMPARE(transfer.FailureReason().isEmpty(), ok);
    if (error.isEmpty()) {
        QCOMPARE(errors.count(), 0);
    } else {
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(), error[0]);
        QCOMPARE(errors.first().at(1).toString(), error[1]);
        QCOMPARE(errors.first().at(2).toString(), error[2]);
    }
}

void tst_ProgramTransfer::downloadRequests()
{
    RecordingConnection module;
    ScriptDownload(module, -1, 0);
    QList<TInstruction> program{I(5, 300, 2, 4294967295LL), I(1, 0, 255, -5)};
    ProgramTransfer transfer(&module);
    transfer.SetInstructionList(&program);
    QSignalSpy progress(&transfer, &ProgramTransfer::progress);
    QVERIFY(transfer.Download(7));

    const QList<Command> sent = module.requests();
    const QList<Command> expected{Command(7, 132, 0, 0, 0, false, 12), Command(7, 5, 300, 2, -1, false, 12),
                                  Command(7, 1, 0, 255, -5, false, 12), Command(7, 0, 0, 0, 0, false, 12),
                                  Command(7, 133, 0, 0, 0, false, 12)};
    QCOMPARE(sent.size(), expected.size());
    for (int i = 0; i < sent.size(); ++i)
        QVERIFY2(sent[i] == expected[i], qPrintable(QString::number(i)));
    QCOMPARE(progress.count(), 3);
    QCOMPARE(progress[0], (QList<QVariant>{0, 2}));
    QCOMPARE(progress[2], (QList<QVariant>{2, 2}));

    // An empty program still opens and closes download mode.
    module.clear();
    program.clear();
    QVERIFY(transfer.Download(7));
    QCOMPARE(CommandBytes(module), (QList<int>{132, 0, 133}));
}

void tst_ProgramTransfer::downloadAbort()
{
    RecordingConnection module;
    ScriptDownload(module, -1, 0);
    QList<TInstruction> program{I(1, 0, 0, 1), I(2, 0, 0, 2), I(3, 0, 0, 0)};
    ProgramTransfer transfer(&module);
    transfer.SetInstructionList(&program);
    // Arrives like a button click: with the event processing after the first stored word.
    QTimer::singleShot(0, &transfer, &ProgramTransfer::Abort);
    QVERIFY(!transfer.Download(1));
    QVERIFY(transfer.IsAbortRequested());
    QVERIFY(!transfer.IsDownloadSuccessful());
    QCOMPARE(CommandBytes(module), (QList<int>{132, 1, 0, 133}));
    QCOMPARE(transfer.FailureReason(), QString("The transfer was aborted."));
}

void tst_ProgramTransfer::upload_data()
{
    QTest::addColumn<QList<TInstruction>>("memory");
    QTest::addColumn<int>("invalidAt");   // read whose reply is not valid; -1 none
    QTest::addColumn<int>("reads");
    QTest::addColumn<int>("kept");        // instructions appended
    QTest::addColumn<bool>("successful");

    const QList<TInstruction> program{I(1, 0, 0, 1000), I(5, 4, 2, -5), I(27, 4, 1, 2147483647),
                                      I(0, 0, 0, 0), I(9, 9, 9, 9)};
    QTest::newRow("program with its end") << program << -1 << 4 << 3 << true;
    QTest::newRow("empty memory") << QList<TInstruction>{I(0, 0, 0, 0)} << -1 << 1 << 0 << true;
    QTest::newRow("no answer") << program << 2 << 3 << 2 << false;
    QTest::newRow("no answer at once") << program << 0 << 1 << 0 << false;
    QList<TInstruction> full;
    for (int a = 0; a < 2100; ++a)
        full.append(I(1 + a % 50, 0, 0, a));
    QTest::newRow("no end in memory") << full << -1 << 2048 << 2048 << false;
}

void tst_ProgramTransfer::upload()
{
    QFETCH(QList<TInstruction>, memory);
    QFETCH(int, invalidAt);
    QFETCH(int, kept);

    RecordingConnection module;
    module.setResponder([&](const Command& request) {
        const int a = request.value();
        if (a == invalidAt || request.command() != ModuleCommand::ReadMem || a >= memory.size())
            return Command();
        return Word(memory[a]);
    });
    QList<TInstruction> list;
    ProgramTransfer transfer(&module);
    transfer.SetInstructionList(&list);
    QSignalSpy progress(&transfer, &ProgramTransfer::progress);
    const bool ok = transfer.Upload(3);
    QTEST(ok, "successful");
    QTEST(transfer.IsUploadSuccessful(), "successful");

    const QList<Command> sent = module.requests();
    QTEST(int(sent.size()), "reads");
    for (int a = 0; a < sent.size(); ++a)
        QVERIFY(sent[a] == Command(3, 134, 0, 0, a, false, 12));
    QCOMPARE(progress.last(), (QList<QVariant>{int(sent.size()), 0}));

    QCOMPARE(list.size(), kept);
    for (int a = 0; a < kept; ++a) {
        QCOMPARE(list[a].Opcode, memory[a].Opcode);
        QCOMPARE(list[a].Type, memory[a].Type);
        QCOMPARE(list[a].Motor, memory[a].Motor);
        QCOMPARE(list[a].Value, memory[a].Value);
    }
    QCOMPARE(transfer.FailureReason().isEmpty(), ok);
}

void tst_ProgramTransfer::uploadAbort()
{
    RecordingConnection module;
    module.setResponder([](const Command&) { return Word(I(3, 0, 1, 0)); });
    QList<TInstruction> list;
    ProgramTransfer transfer(&module);
    transfer.SetInstructionList(&list);
    QTimer::singleShot(0, &transfer, &ProgramTransfer::Abort);
    QVERIFY(!transfer.Upload(1));
    QCOMPARE(module.requests().size(), 1);
    QCOMPARE(list.size(), 1);
    QCOMPARE(transfer.FailureReason(), QString("The transfer was aborted."));
}

// Without a handler the requests go out through the signal; unconnected, nothing answers.
void tst_ProgramTransfer::withoutHandler()
{
    RecordingConnection module;
    ScriptDownload(module, -1, 0);
    QList<TInstruction> program{I(1, 0, 0, 1)};
    ProgramTransfer transfer;
    transfer.SetInstructionList(&program);
    QVERIFY(!transfer.Download(1));
    QCOMPARE(transfer.FailureReason(), QString("The module did not answer. "
                                               "Check the connection to the module and try again."));

    connect(&transfer, &ProgramTransfer::forwardCommand, &module, &RecordingConnection::doDirectRequest);
    QVERIFY(transfer.Download(1));
    QCOMPARE(CommandBytes(module), (QList<int>{132, 1, 0, 133}));
}

QTEST_MAIN(tst_ProgramTransfer)
#include "tst_programtransfer.moc"

#include "TestData.h"
#include "ModuleCommands.h"
#include "ProgramTransfer.h"
#include "RecordingConnection.h"
#include "TransferScript.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(QList<TInstruction>)

using namespace TransferScript;

class tst_ProgramTransfer : public QObject
{
    Q_OBJECT

private slots:
    void download_data();
    void download();
    void requestsAndProgress();
    void abort();
    void upload_data();
    void upload();
};

void tst_ProgramTransfer::download_data()
{
    QTest::addColumn<int>("faultAt");         // index of the request whose reply is scripted
    QTest::addColumn<int>("faultStatus");
    QTest::addColumn<QList<int>>("commands");  // command bytes sent, in order
    QTest::addColumn<bool>("successful");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("error");   // text, informative, label

    const QList<int> all{132, 1, 22, 5, 0, 133};
    QTest::newRow("complete") << -1 << 0 << all << true << true << QStringList();
    QTest::newRow("write protected") << 0 << 8 << QList<int>{132} << false << false
        << QStringList{"The module is write protected.", "Remove the write protection before trying again",
                       "Module is write protected!"};
    QTest::newRow("motors running") << 0 << 10 << QList<int>{132} << false << false
        << QStringList{"Downloading a program to the module is not possible at this moment.",
                       "Please stop all motors before trying again.", "Download not possible!"};
    // Without a message of its own, a refusal leaves the dialog's flag set; only the result says
    // that nothing was stored.
    QTest::newRow("start refused otherwise") << 0 << 5 << QList<int>{132} << true << false << QStringList();
    QTest::newRow("start not answered") << 0 << Invalid << QList<int>{132} << true << false << QStringList();
    QTest::newRow("verify error") << 2 << 7 << QList<int>{132, 1, 22, 0, 133} << false << false
        << QStringList{"An error has occured while downloading the program.", "EEPROM verify error.",
                       "EEPROM verfiy error."};
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
    QFETCH(QStringList, error);
    RecordingConnection module;
    Script(module, faultAt, faultStatus);
    QList<TInstruction> program{MakeInstruction(1, 0, 0, 1000), MakeInstruction(22, 0, 0, 0), MakeInstruction(5, 4, 1, -1)};
    ProgramTransfer transfer(&module);
    transfer.SetInstructionList(&program);
    QSignalSpy errors(&transfer, &ProgramTransfer::error);
    QSignalSpy finished(&transfer, &ProgramTransfer::finished);

    const bool ok = transfer.Download(1);
    QTEST(ok, "ok");
    QTEST(CommandBytes(module), "commands");
    QTEST(transfer.IsDownloadSuccessful(), "successful");
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), ok);
    QCOMPARE(transfer.FailureReason().isEmpty(), ok);
    QCOMPARE(errors.count(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty())
        QCOMPARE(errors.first(), (QList<QVariant>{error[0], error[1], error[2]}));
}

void tst_ProgramTransfer::requestsAndProgress()
{
    RecordingConnection module;
    Script(module, -1, 0);
    QList<TInstruction> program{MakeInstruction(5, 300, 2, 4294967295LL), MakeInstruction(1, 0, 255, -5)};
    ProgramTransfer transfer(&module);
    transfer.SetInstructionList(&program);
    QSignalSpy size(&transfer, &ProgramTransfer::downloadSize);
    QSignalSpy progress(&transfer, &ProgramTransfer::downloadProgress);
    QVERIFY(transfer.Download(7));
    const QList<Command> expected{Command(7, 132, 0, 0, 0, false, 12), Command(7, 5, 300, 2, -1, false, 12),
                                  Command(7, 1, 0, 255, -5, false, 12), Command(7, 0, 0, 0, 0, false, 12),
                                  Command(7, 133, 0, 0, 0, false, 12)};
    QVERIFY(module.requests() == expected);
    QCOMPARE(size, (QList<QList<QVariant>>{{1}}));
    QCOMPARE(progress, (QList<QList<QVariant>>{{0}, {1}}));

    // An empty program still opens and closes download mode. Without a handler the requests
    // go out through the signal.
    module.clear();
    program.clear();
    ProgramTransfer forwarding;
    forwarding.SetInstructionList(&program);
    QVERIFY(!forwarding.Download(7));   // nobody listens: no answer
    QVERIFY(!forwarding.EnteredDownloadMode());
    connect(&forwarding, &ProgramTransfer::forwardCommand, &module, &RecordingConnection::doDirectRequest);
    QSignalSpy emptySize(&forwarding, &ProgramTransfer::downloadSize);
    QVERIFY(forwarding.Download(7));
    QVERIFY(forwarding.EnteredDownloadMode());
    QCOMPARE(emptySize.first().first().toInt(), -1);
    QCOMPARE(CommandBytes(module), (QList<int>{132, 0, 133}));
}

// An abort arrives like a button click, with the event processing after an answered request.
void tst_ProgramTransfer::abort()
{
    RecordingConnection module;
    Script(module, -1, 0, {MakeInstruction(3, 0, 1, 0), MakeInstruction(3, 0, 1, 0), MakeInstruction(0, 0, 0, 0)});
    QList<TInstruction> list{MakeInstruction(1, 0, 0, 1), MakeInstruction(2, 0, 0, 2), MakeInstruction(3, 0, 0, 0)};
    ProgramTransfer transfer(&module);
    transfer.SetInstructionList(&list);
    QTimer::singleShot(0, &transfer, &ProgramTransfer::Abort);
    QVERIFY(!transfer.Download(1));
    QVERIFY(!transfer.IsDownloadSuccessful());
    QCOMPARE(CommandBytes(module), (QList<int>{132, 1, 0, 133}));
    QCOMPARE(transfer.FailureReason(), QString("The transfer was aborted."));

    module.clear();
    list.clear();
    QTimer::singleShot(0, &transfer, &ProgramTransfer::Abort);
    QVERIFY(!transfer.Upload(1));
    QCOMPARE(module.requests().size(), 1);
    QCOMPARE(list.size(), 1);
}

void tst_ProgramTransfer::upload_data()
{
    QTest::addColumn<QList<TInstruction>>("memory");
    QTest::addColumn<int>("invalidAt");   // read whose reply is not valid; -1 none
    QTest::addColumn<int>("reads");
    QTest::addColumn<int>("kept");        // instructions appended
    QTest::addColumn<bool>("successful"); // the end marker was seen
    QTest::addColumn<bool>("ok");         // ... and every read answered

    const QList<TInstruction> program{MakeInstruction(1, 0, 0, 1000), MakeInstruction(5, 4, 2, -5), MakeInstruction(27, 4, 1, 2147483647),
                                      MakeInstruction(0, 0, 0, 0), MakeInstruction(9, 9, 9, 9)};
    QTest::newRow("program with its end") << program << -1 << 4 << 3 << true << true;
    QTest::newRow("empty memory") << QList<TInstruction>{MakeInstruction(0, 0, 0, 0)} << -1 << 1 << 0 << true << true;
    // An unanswered read is taken as the (empty) word its reply holds.
    QTest::newRow("no answer") << program << 2 << 3 << 2 << true << false;
    QTest::newRow("no answer at once") << program << 0 << 1 << 0 << true << false;
    QList<TInstruction> full;
    for (int a = 0; a < 2100; ++a)
        full.append(MakeInstruction(1 + a % 50, 0, 0, a));
    QTest::newRow("no end in memory") << full << -1 << 2048 << 2048 << false << false;
}

void tst_ProgramTransfer::upload()
{
    QFETCH(QList<TInstruction>, memory);
    QFETCH(int, invalidAt);
    QFETCH(int, kept);
    RecordingConnection module;
    Script(module, invalidAt, Invalid, memory);
    QList<TInstruction> list;
    ProgramTransfer transfer(&module);
    transfer.SetInstructionList(&list);
    QSignalSpy progress(&transfer, &ProgramTransfer::uploadProgress);
    const bool ok = transfer.Upload(3);
    QTEST(ok, "ok");
    QTEST(transfer.IsUploadSuccessful(), "successful");
    QCOMPARE(transfer.FailureReason().isEmpty(), ok);

    const QList<Command> sent = module.requests();
    QTEST(int(sent.size()), "reads");
    for (int a = 0; a < sent.size(); ++a)
        QVERIFY(sent[a] == Command(3, 134, 0, 0, a, false, 12));
    QCOMPARE(progress.size(), sent.size());
    QCOMPARE(progress.last().first().toInt(), int(sent.size()));
    QCOMPARE(list.size(), kept);
    for (int a = 0; a < kept; ++a) {
        QVERIFY(list[a].Opcode == memory[a].Opcode && list[a].Type == memory[a].Type
                && list[a].Motor == memory[a].Motor && list[a].Value == memory[a].Value);
    }
}

QTEST_MAIN(tst_ProgramTransfer)
#include "tst_programtransfer.moc"

#include "CaseFile.h"
#include "ModuleCommands.h"
#include "ProgramTransfer.h"
#include "RecordingConnection.h"
#include "TestData.h"
#include "TransferScript.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

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

// tests/cases/transfer-download.cases.
void tst_ProgramTransfer::download_data()
{
    AddCaseRows("transfer-download.cases");
}

void tst_ProgramTransfer::download()
{
    RecordingConnection module;
    QList<TInstruction> memory;
    const QMap<QString, QString> expected = ScriptCaseRow(module, &memory);
    QList<TInstruction> program{MakeInstruction(1, 0, 0, 1000), MakeInstruction(22, 0, 0, 0), MakeInstruction(5, 4, 1, -1)};
    ProgramTransfer transfer(&module);
    transfer.SetInstructionList(&program);
    QSignalSpy errors(&transfer, &ProgramTransfer::error);
    QSignalSpy finished(&transfer, &ProgramTransfer::finished);

    const bool ok = transfer.Download(1);
    QCOMPARE(ok, expected["ok"] == "true");
    QCOMPARE(CommandByteText(module), expected["sent"]);
    QCOMPARE(transfer.IsDownloadSuccessful(), expected["successful"] == "true");
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), ok);
    QCOMPARE(transfer.FailureReason().isEmpty(), ok);
    QStringList error;
    for (const QList<QVariant>& signal : errors)
        error << QVariant(signal).toStringList().join('|');
    QCOMPARE(error, expected.contains("error") ? QStringList{expected["error"]} : QStringList());
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

// tests/cases/transfer-upload.cases.
void tst_ProgramTransfer::upload_data()
{
    AddCaseRows("transfer-upload.cases");
}

void tst_ProgramTransfer::upload()
{
    RecordingConnection module;
    QList<TInstruction> memory;
    const QMap<QString, QString> expected = ScriptCaseRow(module, &memory);
    QList<TInstruction> list;
    ProgramTransfer transfer(&module);
    transfer.SetInstructionList(&list);
    QSignalSpy progress(&transfer, &ProgramTransfer::uploadProgress);
    const bool ok = transfer.Upload(3);
    QCOMPARE(ok, expected["ok"] == "true");
    QCOMPARE(transfer.IsUploadSuccessful(), expected["successful"] == "true");
    QCOMPARE(transfer.FailureReason().isEmpty(), ok);

    const QList<Command> sent = module.requests();
    QCOMPARE(QString::number(sent.size()), expected["reads"]);
    for (int a = 0; a < sent.size(); ++a)
        QVERIFY(sent[a] == Command(3, 134, 0, 0, a, false, 12));
    QCOMPARE(progress.size(), sent.size());
    QCOMPARE(progress.last().first().toInt(), int(sent.size()));
    QCOMPARE(QString::number(list.size()), expected["kept"]);
    for (int a = 0; a < list.size(); ++a) {
        QVERIFY(list[a].Opcode == memory[a].Opcode && list[a].Type == memory[a].Type
                && list[a].Motor == memory[a].Motor && list[a].Value == memory[a].Value);
    }
}

QTEST_MAIN(tst_ProgramTransfer)
#include "tst_programtransfer.moc"

#include "CaseFile.h"
#include "ModalAnswerer.h"
#include "ModuleCommands.h"
#include "RecordingConnection.h"
#include "TestData.h"
#include "TransferScript.h"
#include "UploadDownload.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace TransferScript;

namespace {

QString Label(const UploadDownload& dialog, const char* name)
{
    return dialog.findChild<QLabel*>(name)->text();
}

QPushButton* Button(const UploadDownload& dialog)
{
    return dialog.findChild<QPushButton*>("BtnClose");
}

const QList<TInstruction> Program{MakeInstruction(1, 0, 0, 1000), MakeInstruction(22, 0, 0, 0),
                                  MakeInstruction(5, 4, 1, -1)};

} // namespace

class tst_UploadDownload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void window();
    void download_data();
    void download();
    void closedOnlyWhenIdle();
    void abort();
    void upload_data();
    void upload();
    void unconnected();
};

void tst_UploadDownload::window()
{
    UploadDownload dialog;
    QCOMPARE(dialog.windowTitle(), QString("KROL Downloader"));
    QCOMPARE(dialog.windowFlags() & ~(Qt::WindowTitleHint | Qt::WindowSystemMenuHint),
             Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    QVERIFY(texts.contains("File:") && texts.contains("Progress:"));
    QVERIFY(dialog.findChild<QLabel*>("LblProgress_2")->font().bold());
    QVERIFY(!dialog.findChild<QProgressBar*>("ProgressBar")->isTextVisible());
    QCOMPARE(Button(dialog)->text(), QString("Abort"));
    dialog.SetFileName("moves.kro");
    QCOMPARE(Label(dialog, "LblFileName"), QString("moves.kro"));
    dialog.show();
    QVERIFY(!dialog.grab().isNull());   // it paints, offscreen too
}

// tests/cases/transfer-download.cases, with the window asked to stay open and not.
void tst_UploadDownload::download_data()
{
    AddCaseRows("transfer-download.cases");
}

void tst_UploadDownload::download()
{
    for (const bool keepOpen : {true, false}) {
        RecordingConnection module;
        QList<TInstruction> memory;
        const QMap<QString, QString> expected = ScriptCaseRow(module, &memory);
        const QStringList message = expected.value("error").split('|').mid(0, 2);
        ModalAnswerer answerer;
        if (message.size() == 2)
            answerer.press(QMessageBox::Ok);
        QList<TInstruction> program = Program;
        UploadDownload dialog;
        connect(&dialog, &UploadDownload::ForwardCommand, &module, &RecordingConnection::doDirectRequest);
        dialog.SetInstructionList(&program);
        dialog.show();
        dialog.BeginDownload(9, keepOpen);

        QCOMPARE(CommandByteText(module), expected["sent"]);
        QCOMPARE(dialog.IsDownloadSuccessful(), expected["successful"] == "true");
        QCOMPARE(answerer.unexpected(), 0);
        QCOMPARE(answerer.pending(), 0);
        QStringList boxes;
        for (const ModalAnswerer::Seen& box : answerer.seen())
            boxes << box.summary();
        QCOMPARE(boxes, message.size() == 2 ? QStringList("Critical: " + message.join('|') + " [Ok]") : QStringList());
        const QString result = keepOpen ? expected["window"] : QStringLiteral("closed");
        QCOMPARE(dialog.isVisible(), result != QLatin1String("closed"));
        if (dialog.isVisible()) {
            QCOMPARE(Label(dialog, "LblProgress_2"), result);
            QCOMPARE(Button(dialog)->text(), QString("OK"));
            Button(dialog)->click();
            QVERIFY(!dialog.isVisible());
        }
        for (const Command& c : module.requests())
            QCOMPARE(c.address(), uchar(9));
    }
}

// While a request is out, neither the window's close button nor Escape ends the dialog; the
// progress shown by then is that of the instructions stored before.
void tst_UploadDownload::closedOnlyWhenIdle()
{
    RecordingConnection module;
    UploadDownload dialog;
    QStringList seen;
    module.setResponder([&](const Command& request) {
        dialog.close();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        const auto* bar = dialog.findChild<QProgressBar*>("ProgressBar");
        seen << QString("%1 %2 %3 %4").arg(request.command()).arg(Label(dialog, "LblProgress_2"))
                    .arg(bar->value()).arg(bar->maximum());
        return Answer(request.command() == ModuleCommand::DownloadStart ? 100 : 101);
    });
    connect(&dialog, &UploadDownload::ForwardCommand, &module, &RecordingConnection::doDirectRequest);
    QList<TInstruction> program = Program;
    dialog.SetInstructionList(&program);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.BeginDownload(1, true);
    QVERIFY(dialog.isVisible());
    QCOMPARE(seen, (QStringList{"132  -1 2", "1  -1 2", "22 Downloading... 0 2", "5 Downloading... 1 2",
                                "0 Downloading... 2 2", "133 Downloading... 2 2"}));
}

void tst_UploadDownload::abort()
{
    RecordingConnection module;
    Script(module, -1, 0);
    UploadDownload dialog;
    connect(&dialog, &UploadDownload::ForwardCommand, &module, &RecordingConnection::doDirectRequest);
    QList<TInstruction> program = Program;
    dialog.SetInstructionList(&program);
    dialog.show();
    QTimer::singleShot(0, Button(dialog), &QPushButton::click);
    dialog.BeginDownload(1, true);
    QCOMPARE(CommandBytes(module), (QList<int>{132, 1, 0, 133}));
    QVERIFY(!dialog.IsDownloadSuccessful());
    QVERIFY(!dialog.isVisible());
}

// tests/cases/transfer-upload.cases.
void tst_UploadDownload::upload_data()
{
    AddCaseRows("transfer-upload.cases");
}

void tst_UploadDownload::upload()
{
    RecordingConnection module;
    QList<TInstruction> memory;
    const QMap<QString, QString> expected = ScriptCaseRow(module, &memory);
    UploadDownload dialog;
    connect(&dialog, &UploadDownload::ForwardCommand, &module, &RecordingConnection::doDirectRequest);
    QList<TInstruction> list;
    dialog.SetInstructionList(&list);
    dialog.show();
    dialog.BeginUpload(4);

    QCOMPARE(dialog.IsUploadSuccessful(), expected["successful"] == "true");
    QCOMPARE(QString::number(list.size()), expected["kept"]);
    const int reads = module.requests().size();
    QCOMPARE(QString::number(reads), expected["reads"]);
    QVERIFY(module.requests().last() == Command(4, 134, 0, 0, reads - 1, false, 12));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Label(dialog, "LblProgress_2"), QString("Successful!"));
    QCOMPARE(dialog.findChild<QProgressBar*>("ProgressBar")->maximum(), 0);
}

// A read-back shows the number of the read, an unanswered read with garbage in its fields is
// kept as a word, and requests nobody forwards are unanswered reads.
void tst_UploadDownload::unconnected()
{
    RecordingConnection module;
    UploadDownload dialog;
    QStringList labels;
    module.setResponder([&](const Command&) {
        labels << Label(dialog, "LblProgress_2");
        Command garbage;
        garbage.setAddress(uchar(labels.size() == 1 ? 3 : 9));
        garbage.setValid(labels.size() == 1);
        return garbage;
    });
    connect(&dialog, &UploadDownload::ForwardCommand, &module, &RecordingConnection::doDirectRequest);
    QList<TInstruction> list;
    dialog.SetInstructionList(&list);
    dialog.BeginUpload(1);
    QCOMPARE(labels, (QStringList{"", "Reading memory (#1)"}));
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[1].Opcode, uint8_t(9));
    QVERIFY(!dialog.IsUploadSuccessful());

    UploadDownload alone;
    list.clear();
    alone.SetInstructionList(&list);
    alone.BeginUpload(1);
    QVERIFY(alone.IsUploadSuccessful());
    QVERIFY(list.isEmpty());
}

QTEST_MAIN(tst_UploadDownload)
#include "tst_uploaddownload.moc"

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

Q_DECLARE_METATYPE(QList<TInstruction>)

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
    dialog.grab().save(QDir::temp().filePath("uploaddownload.png"));
}

void tst_UploadDownload::download_data()
{
    QTest::addColumn<int>("faultAt");          // index of the request whose reply is scripted
    QTest::addColumn<int>("faultStatus");
    QTest::addColumn<bool>("keepOpen");
    QTest::addColumn<QList<int>>("commands");  // command bytes sent, in order
    QTest::addColumn<bool>("successful");
    QTest::addColumn<QStringList>("message");  // text, informative text of the box shown
    QTest::addColumn<QString>("result");       // status label left open; empty: the dialog closed

    const QList<int> all{132, 1, 22, 5, 0, 133};
    QTest::newRow("complete, confirmed") << -1 << 0 << true << all << true << QStringList() << "Successful!";
    QTest::newRow("complete, closes") << -1 << 0 << false << all << true << QStringList() << "";
    QTest::newRow("write protected") << 0 << 8 << true << QList<int>{132} << false
        << QStringList{"The module is write protected.", "Remove the write protection before trying again"}
        << "Module is write protected!";
    QTest::newRow("motors running") << 0 << 10 << true << QList<int>{132} << false
        << QStringList{"Downloading a program to the module is not possible at this moment.",
                       "Please stop all motors before trying again."}
        << "Download not possible!";
    QTest::newRow("write protected, closes") << 0 << 8 << false << QList<int>{132} << false
        << QStringList{"The module is write protected.", "Remove the write protection before trying again"}
        << "";
    QTest::newRow("start refused otherwise") << 0 << 5 << true << QList<int>{132} << true << QStringList()
                                             << "Download refused!";
    QTest::newRow("start not answered") << 0 << Invalid << true << QList<int>{132} << true << QStringList() << "";
    QTest::newRow("verify error") << 2 << 7 << true << QList<int>{132, 1, 22, 0, 133} << false
        << QStringList{"An error has occured while downloading the program.", "EEPROM verify error."}
        << "EEPROM verfiy error.";
    QTest::newRow("other store status") << 1 << 4 << true << QList<int>{132, 1, 0, 133} << false
        << QStringList{"An error has ocurred while downloading the program.", "Please try again."}
        << "Download error.";
    QTest::newRow("store not answered") << 3 << Invalid << true << all << false
        << QStringList{"An error has ocurred while downloading the program.", "Please try again."}
        << "Download error.";
    QTest::newRow("stored but not valid") << 1 << StoredButInvalid << true << QList<int>{132, 1, 0, 133}
                                          << true << QStringList() << "Successful!";
    QTest::newRow("end not answered") << 5 << Invalid << true << all << true << QStringList() << "";
}

void tst_UploadDownload::download()
{
    QFETCH(int, faultAt);
    QFETCH(int, faultStatus);
    QFETCH(bool, keepOpen);
    QFETCH(QStringList, message);
    QFETCH(QString, result);
    RecordingConnection module;
    Script(module, faultAt, faultStatus);
    ModalAnswerer answerer;
    if (!message.isEmpty())
        answerer.press(QMessageBox::Ok);
    QList<TInstruction> program = Program;
    UploadDownload dialog;
    connect(&dialog, &UploadDownload::ForwardCommand, &module, &RecordingConnection::doDirectRequest);
    dialog.SetInstructionList(&program);
    dialog.show();
    dialog.BeginDownload(9, keepOpen);

    QTEST(CommandBytes(module), "commands");
    QTEST(dialog.IsDownloadSuccessful(), "successful");
    QCOMPARE(answerer.unexpected(), 0);
    QCOMPARE(answerer.pending(), 0);
    if (!message.isEmpty()) {
        QCOMPARE(answerer.seen().size(), 1);
        const ModalAnswerer::Seen& box = answerer.seen().first();
        QCOMPARE(box.text, message[0]);
        QCOMPARE(box.informativeText, message[1]);
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QCOMPARE(dialog.isVisible(), !result.isEmpty());
    if (!result.isEmpty()) {
        QCOMPARE(Label(dialog, "LblProgress_2"), result);
        QCOMPARE(Button(dialog)->text(), QString("OK"));
        Button(dialog)->click();
        QVERIFY(!dialog.isVisible());
    }
    for (const Command& c : module.requests())
        QCOMPARE(c.address(), uchar(9));
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

void tst_UploadDownload::upload_data()
{
    QTest::addColumn<QList<TInstruction>>("memory");
    QTest::addColumn<int>("invalidAt");   // read whose reply is not valid; -1 none
    QTest::addColumn<int>("reads");
    QTest::addColumn<int>("kept");
    QTest::addColumn<bool>("successful");

    const QList<TInstruction> program{MakeInstruction(1, 0, 0, 1000), MakeInstruction(5, 4, 2, -5),
                                      MakeInstruction(0, 0, 0, 0), MakeInstruction(9, 9, 9, 9)};
    QTest::newRow("program with its end") << program << -1 << 3 << 2 << true;
    QTest::newRow("empty memory") << QList<TInstruction>{MakeInstruction(0)} << -1 << 1 << 0 << true;
    QList<TInstruction> full;
    for (int a = 0; a < 2048; ++a)
        full.append(MakeInstruction(1 + a % 50, 0, 0, a));
    QTest::newRow("no end in memory") << full << -1 << 2048 << 2048 << false;
    // An unanswered read holds an all-zero word here, which reads as the end.
    QTest::newRow("no answer") << program << 1 << 2 << 1 << true;
}

void tst_UploadDownload::upload()
{
    QFETCH(QList<TInstruction>, memory);
    QFETCH(int, invalidAt);
    QFETCH(int, reads);
    RecordingConnection module;
    Script(module, invalidAt, Invalid, memory);
    UploadDownload dialog;
    connect(&dialog, &UploadDownload::ForwardCommand, &module, &RecordingConnection::doDirectRequest);
    QList<TInstruction> list;
    dialog.SetInstructionList(&list);
    dialog.show();
    dialog.BeginUpload(4);

    QTEST(dialog.IsUploadSuccessful(), "successful");
    QTEST(int(list.size()), "kept");
    QCOMPARE(module.requests().size(), reads);
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

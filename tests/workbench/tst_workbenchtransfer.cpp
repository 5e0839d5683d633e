#include "AppSettings.h"
#include "ModuleCommands.h"
#include "SettingsGroup.h"
#include "TransferScript.h"
#include "WorkbenchTest.h"

#include <QCheckBox>
#include <QtTest>

Q_DECLARE_METATYPE(QList<TInstruction>)

using namespace TransferScript;

// Download and Disassemble through the loaded plug-in, against a recording connection.
class tst_WorkbenchTransfer : public WorkbenchTest
{
    Q_OBJECT

public:
    tst_WorkbenchTransfer() : WorkbenchTest(5, {}, {"UploadDownload", "Disassembler"}) {}

private slots:
    void init();
    void disassemble_data();
    void disassemble();
    void secondReadBackOpensAPage();
    void downloadAsksToAssemble();
};

void tst_WorkbenchTransfer::init()
{
    WorkbenchTest::init();
    m_tool->setEnabled(true);
    m_plugin.link().clear();
}

void tst_WorkbenchTransfer::disassemble_data()
{
    QTest::addColumn<QList<TInstruction>>("memory");
    QTest::addColumn<int>("invalidAt");
    QTest::addColumn<int>("reads");
    QTest::addColumn<QString>("text");         // a line the page shows; empty: the page stays empty
    QTest::addColumn<QStringList>("message");  // text and informative text of the box after it

    const QList<TInstruction> program{MakeInstruction(1, 0, 0, 1000), MakeInstruction(28), MakeInstruction(0)};
    QTest::newRow("program") << program << -1 << 3 << "ROR 0, 1000" << QStringList();
    QTest::newRow("empty memory") << QList<TInstruction>{MakeInstruction(0)} << -1 << 1 << ""
                                  << QStringList{"The KROL program memory of the module is empty.", ""};
    QList<TInstruction> full;
    for (int a = 0; a < 2048; ++a)
        full.append(MakeInstruction(1, 0, 0, a));
    QTest::newRow("no end") << full << -1 << 2048 << "ROR 0, 2047"
        << QStringList{"The KROL program read back has been aborted.", "The disassembled program may be incomplete."};
}

void tst_WorkbenchTransfer::disassemble()
{
    QFETCH(QList<TInstruction>, memory);
    QFETCH(int, invalidAt);
    QFETCH(int, reads);
    QFETCH(QString, text);
    QFETCH(QStringList, message);
    RecordingConnection& module = m_plugin.link();
    Script(module, invalidAt, Invalid, memory);
    if (!message.isEmpty())
        m_answers->press(QMessageBox::Ok);

    m_pages->trigger("actionDisassemble");

    const QList<RecordingConnection::Call>& calls = module.calls();
    QCOMPARE(calls.size(), reads + 2);
    QCOMPARE(calls.first().mode, 0);
    QCOMPARE(calls.last().mode, 1);
    for (int a = 0; a < reads; ++a)
        QVERIFY(calls[a + 1].request == Command(5, ModuleCommand::ReadMem, 0, 0, a, false, 12));
    QCOMPARE(m_answers->unexpected(), 0);
    QCOMPARE(m_answers->pending(), 0);
    if (!message.isEmpty()) {
        QCOMPARE(m_answers->seen().last().text, message[0]);
        QCOMPARE(m_answers->seen().last().informativeText, message[1]);
    }
    QCOMPARE(m_pages->count(), 1);
    QCOMPARE(m_pages->text(0).contains(text), true);
    QCOMPARE(m_pages->text(0).isEmpty(), text.isEmpty());
    QCOMPARE(m_pages->modification(), text.isEmpty() ? "Original" : "Modified");
}

void tst_WorkbenchTransfer::secondReadBackOpensAPage()
{
    Script(m_plugin.link(), -1, 0, {MakeInstruction(28), MakeInstruction(0)});
    m_pages->trigger("actionDisassemble");
    m_pages->trigger("actionDisassemble");
    QCOMPARE(m_pages->count(), 2);
    QCOMPARE(m_pages->text(1), m_pages->text(0));
}

// No, with the check box ticked: nothing is sent, the choice is stored, and the next Download
// goes straight to assembling (an empty page assembles to nothing, so it stops there).
void tst_WorkbenchTransfer::downloadAsksToAssemble()
{
    m_answers->answer([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        box->checkBox()->setChecked(true);
        box->button(QMessageBox::No)->click();
    });
    m_pages->trigger("actionDownload");
    QCOMPARE(m_answers->pending(), 0);
    const ModalAnswerer::Seen& box = m_answers->seen().first();
    QCOMPARE(box.summary(), QString("Question: The program needs to be assembled first.|Would you like to do that now? [Yes No]"));
    QVERIFY(m_plugin.link().calls().isEmpty());
    AppSettings settings;
    settings.beginGroup(QString::fromLatin1(SettingsGroup::KROLCreator));
    QCOMPARE(settings.value("DoNotNotifyAgain").toBool(), true);

    // The next Download asks no more; it goes straight to the assembler's window.
    m_answers->click(QStringLiteral("OK"));
    m_pages->trigger("actionDownload");
    QCOMPARE(m_answers->seen().size(), 2);
    QCOMPARE(m_answers->seen().last().className, QStringLiteral("Assembler"));
}

QTEST_MAIN(tst_WorkbenchTransfer)
#include "tst_workbenchtransfer.moc"

#include "AppSettings.h"
#include "CaseFile.h"
#include "ModuleCommands.h"
#include "SettingsGroup.h"
#include "TransferScript.h"
#include "WorkbenchTest.h"

#include <QCheckBox>
#include <QtTest>

using namespace TransferScript;

// Download and Disassemble through the loaded plug-in, against a recording connection.
class tst_WorkbenchTransfer : public WorkbenchTest
{
    Q_OBJECT

public:
    tst_WorkbenchTransfer() : WorkbenchTest(5, {}, {"UploadDownload", "Disassembler"}) {}

private slots:
    void init();
    void session_data();
    void session() { runSteps(); }
    void secondReadBackOpensAPage();
    void downloadAsksToAssemble();

private:
    bool step(const QString& verb, const QString& args) override;
    // "reads": how many words one read-back read; "has PAGE TEXT": yes when the page holds the
    // text; "count": the number of pages.
    QString value(const QString& key) override;
};

void tst_WorkbenchTransfer::init()
{
    WorkbenchTest::init();
    m_tool->setEnabled(true);
    m_plugin.link().clear();
}

// tests/cases/workbench-transfer.cases.
void tst_WorkbenchTransfer::session_data()
{
    AddCaseRows("workbench-transfer.cases");
}

bool tst_WorkbenchTransfer::step(const QString& verb, const QString& args)
{
    QList<TInstruction> memory;
    if (verb != "memory")
        return WorkbenchTest::step(verb, args);
    return ScriptCase(m_plugin.link(), args.split(QStringLiteral("; ")), &memory);
}

QString tst_WorkbenchTransfer::value(const QString& key)
{
    const QList<RecordingConnection::Call>& calls = m_plugin.link().calls();
    if (key.startsWith("has ")) {
        const QString text = m_pages->text(key.section(' ', 1, 1).toInt());
        return text.contains(key.section(' ', 2)) ? QStringLiteral("yes") : "no: " + text;
    }
    if (key == "count")
        return QString::number(m_pages->count());
    if (key != "reads")
        return WorkbenchTest::value(key);
    // One read-back: download mode in and out around reads of addresses 0, 1, 2, ...
    if (calls.size() < 2 || calls.first().mode != 0 || calls.last().mode != 1)
        return QStringLiteral("(not one read-back)");
    for (int a = 0; a + 2 < calls.size(); ++a) {
        if (!(calls[a + 1].request == Command(5, ModuleCommand::ReadMem, 0, 0, a, false, 12)))
            return QStringLiteral("(read %1 unlike the others)").arg(a);
    }
    return QString::number(calls.size() - 2);
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

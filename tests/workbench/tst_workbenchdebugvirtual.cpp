#include "AssemblerEngine.h"
#include "CaseFile.h"
#include "DebugProbe.h"
#include "ModuleCommands.h"
#include "VirtualConnection.h"
#include "VirtualModuleBuilder.h"
#include "WorkbenchTest.h"

#include <QtTest>

// A user's session on the virtual module, in a workbench loaded from the plug-in file: a program
// with a subroutine in an include page is downloaded, read back, and debugged by steps, runs and
// animation. Module time passes with every request, so nothing waits on a clock.
class tst_WorkbenchDebugVirtual : public WorkbenchTest
{
    Q_OBJECT

public:
    tst_WorkbenchDebugVirtual() : WorkbenchTest(1, DebugProbe::Quiet(), {"UploadDownload", "Assembler", "Disassembler"}) {}

private slots:
    void init();
    void cleanup();
    void downloadAndReadBack();
    void session_data();
    void session() { runSteps(); }
    void refusalLeavesWorkbenchUsable();

private:
    // Assembles the source files without the workbench: the words the module should hold.
    QList<TInstruction> assemble(const QString& text) const;
    QList<TInstruction> memory();
    VirtualModule& vm() { return VirtualModuleBuilder::connectionOf(m_module.get())->module(); }
    QString value(const QString& key) override;

    std::unique_ptr<KROLModuleInterface> m_module;
};

namespace {

// Addresses 0-3 are lines 2-5 of main.kro, 4-5 lines 2-3 of sub.kro (page 1); the run goes
// 0, 1, 4, 5, 2, 3.
const char MainText[] = "// main: calls a subroutine of an include page\n"
                        "        CALC LOAD, 5\n"
                        "        CSUB Twice\n"
                        "        CALCX SWAP\n"
                        "        STOP\n"
                        "#include sub.kro\n";
const char SubText[] = "// doubles A\n"
                       "Twice:  CALC MUL, 2\n"
                       "        RSUB\n";

} // namespace

// The workbench of the fixture is replaced by one on a virtual module of its own.
void tst_WorkbenchDebugVirtual::init()
{
    WorkbenchTest::init();
    m_dir.write(QStringLiteral("main.kro"), MainText);
    m_dir.write(QStringLiteral("sub.kro"), SubText);
    QString error;
    m_module.reset(VirtualModuleBuilder::createFromFile(PluginFixture::modulePath("virtual.json"), &error));
    QVERIFY2(m_module, qPrintable(error));
    m_tool.reset(m_plugin.prototype()->clone(QStringLiteral("Virtual"), 1, m_module.get()));
    m_tool->setEnabled(true);
    m_pages.reset(new PageProbe(m_tool.get()));
    m_pages->drop(m_dir.filePath(QStringLiteral("main.kro")));
    m_pages->drop(m_dir.filePath(QStringLiteral("sub.kro")));
    QCOMPARE(m_pages->count(), 2);
    m_pages->tabs()->setCurrentIndex(0);
}

void tst_WorkbenchDebugVirtual::cleanup()
{
    WorkbenchTest::cleanup();
    m_module.reset();
}

QList<TInstruction> tst_WorkbenchDebugVirtual::assemble(const QString& text) const
{
    AssemblerEngine engine;
    engine.SetSourceFile(m_dir.path() + '/', QStringLiteral("main.kro"), 0);
    QList<TInstruction> program;
    if (engine.Run(text, true, false, false, false, QString()))
        engine.GetAsmResult(&program);
    return program;
}

QList<TInstruction> tst_WorkbenchDebugVirtual::memory()
{
    QList<TInstruction> words;
    for (int address = 0; address < 2048; ++address) {
        TModuleRequest read;
        read.Command = ModuleCommand::ReadMem;
        read.Value = address;
        const TModuleReply word = vm().request(read);
        if (word.Opcode == 0)
            break;
        words.append(MakeInstruction(word.Opcode, word.Type, word.Motor, word.Value));
    }
    return words;
}

static bool SameWords(const QList<TInstruction>& a, const QList<TInstruction>& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].Opcode != b[i].Opcode || a[i].Type != b[i].Type || a[i].Motor != b[i].Motor
            || int32_t(a[i].Value) != int32_t(b[i].Value))
            return false;
    }
    return true;
}

// What the module holds is the program; read back and disassembled, it assembles to it again.
void tst_WorkbenchDebugVirtual::downloadAndReadBack()
{
    const QList<TInstruction> program = assemble(QString::fromLatin1(MainText));
    QCOMPARE(program.size(), 7);   // a STOP appended after the subroutine
    m_answers->press(QMessageBox::Yes);   // to assemble first
    m_pages->trigger("actionDownload");
    QVERIFY(SameWords(memory(), program));

    m_pages->trigger("actionDisassemble");
    QCOMPARE(m_pages->count(), 3);
    QVERIFY(SameWords(assemble(m_pages->text(2)), program));
}

// tests/cases/workbench-debug-virtual.cases.
void tst_WorkbenchDebugVirtual::session_data()
{
    AddCaseRows("workbench-debug-virtual.cases");
}

QString tst_WorkbenchDebugVirtual::value(const QString& key)
{
    if (key == "registers")
        return QStringLiteral("A:%1 X:%2").arg(vm().registers().A).arg(vm().registers().X);
    if (key == "state")
        return QStringList{"stopped", "running", "halted"}.value(vm().state());
    if (key == "pc")
        return QString::number(vm().programCounter());
    return WorkbenchTest::value(key);
}

// The module refuses a download while an axis moves: the message comes, the debugger stays off,
// and once the axis stops everything works again.
void tst_WorkbenchDebugVirtual::refusalLeavesWorkbenchUsable()
{
    TModuleRequest rotate;
    rotate.Command = Opcode::ROR;
    rotate.Value = 1000;
    vm().request(rotate);
    m_answers->press(QMessageBox::Ok);
    m_answers->press(QMessageBox::Ok);

    m_pages->trigger("actionDebugger_active");

    QCOMPARE(m_answers->seen().size(), 2);
    QCOMPARE(m_answers->seen()[0].text,
             QString("Downloading a program to the module is not possible at this moment."));
    QCOMPARE(m_answers->seen()[1].text, QString("KROL download error."));
    QVERIFY(!m_tool->findChild<QAction*>("actionDebugger_active")->isChecked());
    QVERIFY(DebugProbe::Enabled(m_tool.get(), "actionDownload"));

    TModuleRequest stop;
    stop.Command = Opcode::MST;
    vm().request(stop);
    QVERIFY(step("on", QString()));
    m_pages->trigger("actionSingle_Step");
    QCOMPARE(value("mark"), QString("0:3"));
}

QTEST_MAIN(tst_WorkbenchDebugVirtual)
#include "tst_workbenchdebugvirtual.moc"

#include "AssemblerEngine.h"
#include "DebugProbe.h"
#include "KROLModuleInterface.h"
#include "ModalAnswerer.h"
#include "ModuleCommands.h"
#include "PageProbe.h"
#include "PluginFixture.h"
#include "TestData.h"
#include "VirtualConnection.h"
#include "VirtualModuleBuilder.h"

#include <QtTest>

// A user's session on the virtual module, in a workbench loaded from the plug-in file: a program
// with a subroutine in an include page is downloaded, read back, and debugged by steps, runs and
// animation. Module time passes with every request, so nothing waits on a clock.
class tst_WorkbenchDebugVirtual : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void downloadAndReadBack();
    void steps_data();
    void steps();
    void runStopsInIncludePage();
    void animationStopsAtBreakpoint();
    void stopAndResetThenStep();
    void refusalLeavesWorkbenchUsable();
    void includeFromDiskMarksCurrentPage();

private:
    // Assembles the source files without the workbench: the words the module should hold.
    QList<TInstruction> assemble(const QString& text) const;
    void switchOn();
    void click(int page, int line);
    QList<TInstruction> memory();
    VirtualModule& vm() { return VirtualModuleBuilder::connectionOf(m_module.get())->module(); }
    // Where the mark is: "page:line", or "none" on the current page.
    QString mark() const;
    QString labels() const { return m_pages->status(4) + ' ' + m_pages->status(5); }

    PluginFixture m_plugin;
    ScratchDir m_dir;
    std::unique_ptr<KROLModuleInterface> m_module;
    std::unique_ptr<ToolsInterface> m_tool;
    std::unique_ptr<PageProbe> m_pages;
    std::unique_ptr<ModalAnswerer> m_answers;
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
const QString End = QStringLiteral("End of the KROL program.");

} // namespace

void tst_WorkbenchDebugVirtual::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QString error;
    QVERIFY2(m_plugin.load(&error), qPrintable(error));
}

void tst_WorkbenchDebugVirtual::init()
{
    DebugProbe::QuietOptions();
    QVERIFY(m_dir.reset());
    m_dir.write(QStringLiteral("main.kro"), MainText);
    m_dir.write(QStringLiteral("sub.kro"), SubText);
    m_answers.reset(new ModalAnswerer);
    for (const char* window : {"UploadDownload", "Assembler", "Disassembler"})
        m_answers->leave(QLatin1String(window));
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
    m_pages.reset();
    m_tool.reset();
    m_module.reset();
    QCOMPARE(m_answers->unexpected(), 0);
    QCOMPARE(m_answers->pending(), 0);
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

void tst_WorkbenchDebugVirtual::switchOn()
{
    m_pages->trigger("actionDebugger_active");
    QVERIFY(m_tool->findChild<QAction*>("actionDebugger_active")->isChecked());
}

void tst_WorkbenchDebugVirtual::click(int page, int line)
{
    m_pages->tabs()->setCurrentIndex(page);
    DebugProbe::Click(*m_pages, line);
    QCOMPARE(DebugProbe::Margin(*m_pages, line), QString("break"));
}

QString tst_WorkbenchDebugVirtual::mark() const
{
    const int line = m_pages->editor(m_pages->current())->execLine();
    return line == 0 ? QStringLiteral("none") : QStringLiteral("%1:%2").arg(m_pages->current()).arg(line);
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

void tst_WorkbenchDebugVirtual::steps_data()
{
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QString>("values");

    QTest::newRow("1: into the call") << 1 << "0:3" << "A:5 X:0";
    QTest::newRow("2: the include page") << 2 << "1:2" << "A:5 X:0";
    QTest::newRow("3: its return") << 3 << "1:3" << "A:10 X:0";
    QTest::newRow("4: back in main") << 4 << "0:4" << "A:10 X:0";
    QTest::newRow("5: A and X swapped") << 5 << "0:5" << "A:0 X:10";
    QTest::newRow("6: the end") << 6 << "none" << "A:0 X:10";
}

void tst_WorkbenchDebugVirtual::steps()
{
    QFETCH(int, steps);
    QFETCH(QString, marked);
    QFETCH(QString, values);
    switchOn();
    const bool ends = marked == "none";
    if (ends)
        m_answers->press(QMessageBox::Ok);

    for (int i = 0; i < steps; ++i)
        m_pages->trigger("actionSingle_Step");

    QCOMPARE(mark(), marked);
    QCOMPARE(labels(), values);
    // The labels show the module's own registers (reset at the end).
    if (!ends)
        QCOMPARE(labels(), QStringLiteral("A:%1 X:%2").arg(vm().registers().A).arg(vm().registers().X));
    QCOMPARE(m_answers->seen().isEmpty() ? QString() : m_answers->seen().last().text, ends ? End : QString());
}

// A breakpoint set on the include page stops a run there; Run / Continue goes on to the end.
void tst_WorkbenchDebugVirtual::runStopsInIncludePage()
{
    switchOn();
    click(1, 3);
    m_pages->tabs()->setCurrentIndex(0);

    m_pages->trigger("actionRun_Continue");
    QCOMPARE(mark(), QString("1:3"));
    QCOMPARE(labels(), QString("A:10 X:0"));
    QCOMPARE(vm().state(), VirtualModule::Halted);
    QVERIFY(DebugProbe::Enabled(m_tool.get(), "actionSingle_Step"));

    m_answers->press(QMessageBox::Ok);
    m_pages->trigger("actionRun_Continue");
    QCOMPARE(m_answers->seen().last().text, End);
    QCOMPARE(mark(), QString("none"));

    // Off and on again, from the include page the run showed last: the same program, the
    // breakpoint still set.
    m_pages->trigger("actionDebugger_active");
    switchOn();
    QCOMPARE(m_pages->current(), 1);
    QCOMPARE(DebugProbe::Margin(*m_pages, 3), QString("break"));
    m_pages->trigger("actionRun_Continue");
    QCOMPARE(mark(), QString("1:3"));
}

// Animation stops at the flagged instruction and, started again, executes it and runs to the end.
void tst_WorkbenchDebugVirtual::animationStopsAtBreakpoint()
{
    switchOn();
    click(1, 2);
    m_pages->tabs()->setCurrentIndex(0);

    m_pages->trigger("actionAnimate");
    QVERIFY(DebugProbe::Settle(m_tool.get()));
    QCOMPARE(mark(), QString("1:2"));
    QCOMPARE(labels(), QString("A:5 X:0"));
    QVERIFY(DebugProbe::Enabled(m_tool.get(), "actionAnimate"));

    m_answers->press(QMessageBox::Ok);
    m_pages->trigger("actionAnimate");
    QVERIFY(DebugProbe::Settle(m_tool.get()));
    QCOMPARE(m_answers->seen().last().text, End);
    QCOMPARE(labels(), QString("A:0 X:10"));
}

void tst_WorkbenchDebugVirtual::stopAndResetThenStep()
{
    switchOn();
    for (int i = 0; i < 3; ++i)
        m_pages->trigger("actionSingle_Step");
    QCOMPARE(mark(), QString("1:3"));

    m_pages->trigger("actionStop_Reset");
    QCOMPARE(mark(), QString("none"));
    QCOMPARE(vm().programCounter(), 0);

    m_pages->trigger("actionSingle_Step");
    QCOMPARE(mark(), QString("0:3"));
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
    switchOn();
    m_pages->trigger("actionSingle_Step");
    QCOMPARE(mark(), QString("0:3"));
}

// An instruction of a file read from disk has no page: its line is marked in the current page,
// which stays.
void tst_WorkbenchDebugVirtual::includeFromDiskMarksCurrentPage()
{
    emit m_pages->tabs()->tabCloseRequested(1);
    QCOMPARE(m_pages->count(), 1);
    switchOn();
    m_pages->trigger("actionSingle_Step");
    m_pages->trigger("actionSingle_Step");
    QCOMPARE(mark(), QString("0:2"));
    QCOMPARE(labels(), QString("A:5 X:0"));
}

QTEST_MAIN(tst_WorkbenchDebugVirtual)
#include "tst_workbenchdebugvirtual.moc"

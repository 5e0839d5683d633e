#include "BinaryFile.h"
#include "SimTestSupport.h"
#include "KrolProcess.h"
#include "ProgramTransfer.h"
#include "VirtualConnection.h"
#include "VirtualModuleBuilder.h"

#include <QtTest>

#include <memory>

// The way a program goes in practice: `krol asm` assembles an example, the transfer downloads
// it word by word into a virtual module built from modules/virtual.json and reads it back, and
// the module runs, steps and halts at breakpoints as the debugger drives it.
class tst_SimEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void examples_data();
    void examples();

private:
    QTemporaryDir m_dir;
};

namespace {

uint statusWord(KROLModuleInterface& m)
{
    return uint(ask(m, ModuleCommand::GetStatus, 1).value());
}

// Polls as the debugger's run does; the connection lets 1 ms pass per request.
uint pollWhileRunning(KROLModuleInterface& m, int maxPolls)
{
    uint word = statusWord(m);
    for (int i = 0; (word >> 24) == 1 && i < maxPolls; ++i)
        word = statusWord(m);
    return word;
}

} // namespace

void tst_SimEndToEnd::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFileInfo(krolBinary()).isExecutable());
}

void tst_SimEndToEnd::examples_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("breakpoint");
    QTest::newRow("homing") << "homing.kro" << 7;
    QTest::newRow("moves") << "moves.kro" << 3;
    QTest::newRow("pick and place") << "pick-and-place.kro" << 8;
}

void tst_SimEndToEnd::examples()
{
    QFETCH(QString, source);
    QFETCH(int, breakpoint);
    const QString description = sourceDir() + "/modules/virtual.json";
    const QString bin = m_dir.filePath(source + ".bin");

    const KrolResult krol = runKrol({"asm", "--module", description, "-o", bin, sourceDir() + "/examples/" + source});
    QVERIFY2(krol.exitCode == 0, qPrintable(krol.err));
    QList<TInstruction> program;
    QString error;
    QCOMPARE(BinaryFile::Read(bin, &program, &error), BinaryFile::ReadStatus::Ok);
    QVERIFY(program.size() > breakpoint + 1);

    std::unique_ptr<KROLModuleInterface> module(VirtualModuleBuilder::createFromFile(description, &error));
    QVERIFY2(module, qPrintable(error));
    ProgramTransfer transfer(module->connectionInterface());
    transfer.SetInstructionList(&program);
    QVERIFY2(transfer.Download(1), qPrintable(transfer.FailureReason()));
    QList<TInstruction> readBack;
    transfer.SetInstructionList(&readBack);
    QVERIFY(transfer.Upload(1));
    QCOMPARE(BinaryFile::Encode(readBack), BinaryFile::Encode(program));

    // What the debugger sends when it is switched on, then a run to a breakpoint.
    QCOMPARE(ask(*module, ModuleCommand::Breakpoint, 3).value(), 32);
    QVERIFY(ask(*module, ModuleCommand::ApplReset).isValid());
    QVERIFY(ask(*module, ModuleCommand::Breakpoint, 2).isValid());
    ask(*module, ModuleCommand::Breakpoint, 0, breakpoint);
    ask(*module, ModuleCommand::ApplRun);
    uint word = pollWhileRunning(*module, 100000);
    QCOMPARE(word, (2u << 24) | uint(breakpoint));

    // Single steps from the breakpoint: the first executes it.
    ask(*module, ModuleCommand::ApplStep);
    word = statusWord(*module);
    QCOMPARE(word >> 24, 2u);
    QVERIFY(int(word & 0xFFFF) != breakpoint || (word & 0xFF0000));

    // Run on to the end: the counter is then not below the program's length.
    ask(*module, ModuleCommand::Breakpoint, 1, breakpoint);
    ask(*module, ModuleCommand::ApplRun);
    word = pollWhileRunning(*module, 1000000);
    QCOMPARE(word >> 24, 0u);
    QVERIFY(int(word & 0xFFFF) >= program.size());
}

QTEST_GUILESS_MAIN(tst_SimEndToEnd)
#include "tst_simendtoend.moc"

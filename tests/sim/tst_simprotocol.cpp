#include "SimTestSupport.h"

#include <QtTest>

namespace {
enum Calc { ADD, SUB, MUL, DIV, MOD, AND, OR, XOR, NOT, LOAD };
enum Event { TICKS, POS };

uint32_t status(VirtualModule& m)
{
    return uint32_t(send(m, ModuleCommand::GetStatus, 1).Value);
}

// A program whose every line tells in A how far it got: A = address + 1 after each word.
const TestProgram counting = {{"CALC", LOAD, 0, 1}, {"CALC", LOAD, 0, 2}, {"CALC", LOAD, 0, 3},
                              {"CALC", LOAD, 0, 4}, {"CALC", LOAD, 0, 5}, {"STOP"}};
} // namespace

class tst_SimProtocol : public QObject
{
    Q_OBJECT

private slots:
    void downloadAndReadBack();
    void downloadRefusals_data();
    void downloadRefusals();
    void capacity();
    void requestsInDownloadMode();
    void resetStepsAndEnd();
    void stepIntoWait();
    void breakpoints();
    void runToBreakpointAndResume();
    void stopHaltsAndRunResumes();
    void direct_data();
    void direct();
    void directModeCommandsList();
    void directWhileRunning();
};

void tst_SimProtocol::downloadAndReadBack()
{
    VirtualModule m;
    const TestProgram program = {{"MVP", 2, 1, -5}, {"DJNZ", 300, 0, 1}, {"WAIT", POS, 2, -1},
                                 {"CALCVV", 3, 255, 255}, {"JA", 0, 0, 0}};
    QVERIFY(download(m, program));
    QCOMPARE(m.programLength(), program.size());
    for (int i = 0; i < program.size(); ++i) {
        const TModuleReply r = send(m, ModuleCommand::ReadMem, 0, 0, i);
        QVERIFY(r.IsWord);
        QCOMPARE(int(r.Opcode), opcodeOf(program[i].Mnemonic));
        QCOMPARE(int(r.Type), program[i].Type & 0xFF);   // a frame carries 8 bits of type
        QCOMPARE(int(r.Motor), program[i].Motor);
        QCOMPARE(qint64(r.Value), program[i].Value);
    }
    for (int address : {program.size(), program.size() + 1, Sim::ProgramCapacity - 1,
                        Sim::ProgramCapacity, -1}) {
        const TModuleReply r = send(m, ModuleCommand::ReadMem, 0, 0, address);
        QCOMPARE(int(r.Opcode), 0);
        QCOMPARE(r.Value, 0);
    }

    // A new download replaces the whole program.
    QVERIFY(download(m, {{"STOP"}}));
    QCOMPARE(int(send(m, ModuleCommand::ReadMem, 0, 0, 1).Opcode), 0);
    QCOMPARE(int(send(m, ModuleCommand::ReadMem, 0, 0, 2).Opcode), 0);
}

void tst_SimProtocol::downloadRefusals_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("status");
    QTest::newRow("write protected") << "protect" << 8;
    QTest::newRow("program running") << "run" << 10;
    QTest::newRow("motor turning") << "ror" << 10;
    QTest::newRow("motor stopping still turns") << "mst" << 10;
    QTest::newRow("halted program") << "halt" << 100;
    QTest::newRow("ended program, motor at rest") << "end" << 100;
}

void tst_SimProtocol::downloadRefusals()
{
    QFETCH(QString, situation);
    QFETCH(int, status);
    VirtualModule m;
    QVERIFY(download(m, {{"CALC", ADD, 0, 1}, {"JA", 0, 0, 0}}));
    if (situation == "protect")
        m.setWriteProtected(true);
    if (situation == "run" || situation == "halt")
        send(m, ModuleCommand::ApplRun);
    if (situation == "halt")
        send(m, ModuleCommand::ApplStop);
    if (situation == "ror" || situation == "mst")
        send(m, Opcode::ROR, 0, 1, 50000);
    if (situation == "mst") {
        m.advance(100);
        send(m, Opcode::MST, 0, 1);
    }
    if (situation == "end") {
        QVERIFY(download(m, {{"STOP"}}));
        send(m, ModuleCommand::ApplRun);
        m.advance(1);
    }
    QCOMPARE(int(send(m, ModuleCommand::DownloadStart).Status), status);
    QCOMPARE(m.downloadMode(), status == 100);
    if (status != 100) {
        // Refused: words are direct instructions again and the program is untouched.
        QCOMPARE(int(send(m, ModuleCommand::ReadMem, 0, 0, 1).Opcode), int(Opcode::JA));
    }
}

void tst_SimProtocol::capacity()
{
    VirtualModule m;
    QCOMPARE(send(m, ModuleCommand::DownloadStart).Status, uint8_t(100));
    for (int i = 0; i < Sim::ProgramCapacity - 1; ++i)
        QCOMPARE(send(m, Opcode::CALC, ADD, 0, 1).Status, uint8_t(101));
    QCOMPARE(send(m, 0).Status, uint8_t(101));                 // the end marker fills the last word
    QCOMPARE(send(m, Opcode::STOP).Status, uint8_t(4));        // address 2048
    QCOMPARE(send(m, 0).Status, uint8_t(4));
    QCOMPARE(send(m, ModuleCommand::DownloadEnd).Status, uint8_t(100));
    QCOMPARE(m.programLength(), Sim::ProgramCapacity - 1);

    send(m, ModuleCommand::ApplRun);
    m.advance(100);
    QCOMPARE(m.registers().A, Sim::ProgramCapacity - 1);
    QCOMPARE(m.programCounter(), Sim::ProgramCapacity - 1);
    QCOMPARE(m.state(), VirtualModule::Stopped);
}

void tst_SimProtocol::requestsInDownloadMode()
{
    VirtualModule m;
    send(m, ModuleCommand::DownloadStart);
    QCOMPARE(send(m, Opcode::GAP, 4, 0).Status, uint8_t(101));   // stored, not executed
    QCOMPARE(send(m, ModuleCommand::ApplRun).Status, uint8_t(10));
    QCOMPARE(send(m, ModuleCommand::ApplStep).Status, uint8_t(10));
    QCOMPARE(send(m, ModuleCommand::GetStatus, 1).Status, uint8_t(100));
    QCOMPARE(int(send(m, ModuleCommand::ReadMem, 0, 0, 0).Opcode), int(Opcode::GAP));
    send(m, ModuleCommand::DownloadEnd);
    QVERIFY(!m.downloadMode());
    QCOMPARE(send(m, Opcode::GAP, 4, 0).Status, uint8_t(100));
}

void tst_SimProtocol::resetStepsAndEnd()
{
    VirtualModule m;
    QVERIFY(download(m, counting));
    send(m, ModuleCommand::ApplReset);
    QCOMPARE(status(m), 0u);
    for (int i = 1; i <= 5; ++i) {
        QCOMPARE(send(m, ModuleCommand::ApplStep).Status, uint8_t(100));
        const uint32_t word = status(m);
        QCOMPARE(statusPc(word), i);
        QCOMPARE(statusState(word), 2);
        QVERIFY(!statusWaiting(word));
        QCOMPARE(send(m, ModuleCommand::GetStatus, 2).Value, i);
    }
    send(m, ModuleCommand::ApplStep);   // the STOP
    QCOMPARE(statusState(status(m)), 0);
    QCOMPARE(statusPc(status(m)), counting.size());

    // A reset in the middle goes back to 0 and keeps nothing of the run.
    send(m, ModuleCommand::ApplStep);
    send(m, ModuleCommand::ApplStep);
    send(m, ModuleCommand::ApplReset);
    QCOMPARE(status(m), 0u);
    QCOMPARE(send(m, ModuleCommand::GetStatus, 2).Value, 0);
    send(m, ModuleCommand::ApplStep);
    QCOMPARE(send(m, ModuleCommand::GetStatus, 2).Value, 1);
}

void tst_SimProtocol::stepIntoWait()
{
    VirtualModule m;
    QVERIFY(download(m, {{"WAIT", TICKS, 0, 2}, {"CALC", LOAD, 0, 7}, {"STOP"}}));
    send(m, ModuleCommand::ApplStep);
    uint32_t word = status(m);
    QCOMPARE(statusPc(word), 0);
    QVERIFY(statusWaiting(word));
    QCOMPARE(statusState(word), 2);

    m.advance(10);   // halted: time passes, the WAIT still holds until the next step looks
    send(m, ModuleCommand::ApplStep);
    QVERIFY(statusWaiting(status(m)));
    m.advance(11);
    send(m, ModuleCommand::ApplStep);
    word = status(m);
    QCOMPARE(statusPc(word), 1);
    QVERIFY(!statusWaiting(word));
    send(m, ModuleCommand::ApplStep);
    QCOMPARE(send(m, ModuleCommand::GetStatus, 2).Value, 7);
}

void tst_SimProtocol::breakpoints()
{
    VirtualModule m;
    QCOMPARE(send(m, ModuleCommand::Breakpoint, 3).Value, Sim::MaxBreakpoints);
    for (int i = 0; i < Sim::MaxBreakpoints; ++i)
        QCOMPARE(send(m, ModuleCommand::Breakpoint, 0, 0, i * 2).Status, uint8_t(100));
    QCOMPARE(send(m, ModuleCommand::Breakpoint, 0, 0, 2).Status, uint8_t(100));   // already set
    QCOMPARE(send(m, ModuleCommand::Breakpoint, 0, 0, 1).Status, uint8_t(4));     // none left
    QCOMPARE(m.breakpointCount(), Sim::MaxBreakpoints);
    QCOMPARE(send(m, ModuleCommand::Breakpoint, 1, 0, 2).Status, uint8_t(100));
    QCOMPARE(send(m, ModuleCommand::Breakpoint, 1, 0, 2).Status, uint8_t(100));   // not set any more
    QCOMPARE(m.breakpointCount(), Sim::MaxBreakpoints - 1);
    QCOMPARE(send(m, ModuleCommand::Breakpoint, 0, 0, 1).Status, uint8_t(100));
    QCOMPARE(send(m, ModuleCommand::Breakpoint, 0, 0, Sim::ProgramCapacity).Status, uint8_t(4));
    QCOMPARE(send(m, ModuleCommand::Breakpoint, 1, 0, -1).Status, uint8_t(4));
    QCOMPARE(send(m, ModuleCommand::Breakpoint, 4).Status, uint8_t(3));
    QCOMPARE(send(m, ModuleCommand::Breakpoint, 2).Status, uint8_t(100));
    QCOMPARE(m.breakpointCount(), 0);
}

void tst_SimProtocol::runToBreakpointAndResume()
{
    VirtualModule m;
    QVERIFY(download(m, counting));
    send(m, ModuleCommand::ApplReset);
    send(m, ModuleCommand::Breakpoint, 2);
    send(m, ModuleCommand::Breakpoint, 0, 0, 2);
    send(m, ModuleCommand::Breakpoint, 0, 0, 4);
    send(m, ModuleCommand::ApplRun);
    QCOMPARE(statusState(status(m)), 1);
    m.advance(1);
    QCOMPARE(status(m), (2u << 24) | 2u);   // halted before address 2
    QCOMPARE(m.registers().A, 2);

    // Resuming executes the instruction with the breakpoint first, then halts at the next one.
    send(m, ModuleCommand::ApplRun);
    m.advance(1);
    QCOMPARE(status(m), (2u << 24) | 4u);
    QCOMPARE(m.registers().A, 4);

    // A step from a breakpoint executes it; the breakpoint stays for the next pass.
    send(m, ModuleCommand::ApplStep);
    QCOMPARE(m.registers().A, 5);
    send(m, ModuleCommand::ApplRun);
    m.advance(1);
    QCOMPARE(statusState(status(m)), 0);   // end of program
    QCOMPARE(statusPc(status(m)), counting.size());

    // Breakpoints survive a reset; deleting one lets the run pass it.
    send(m, ModuleCommand::ApplReset);
    send(m, ModuleCommand::Breakpoint, 1, 0, 2);
    send(m, ModuleCommand::ApplRun);
    m.advance(1);
    QCOMPARE(statusPc(status(m)), 4);
    send(m, ModuleCommand::Breakpoint, 2);
    send(m, ModuleCommand::ApplRun);
    m.advance(1);
    QCOMPARE(statusState(status(m)), 0);

    // A breakpoint on the first word halts a run from a reset before anything runs.
    send(m, ModuleCommand::ApplReset);
    send(m, ModuleCommand::Breakpoint, 0, 0, 0);
    send(m, ModuleCommand::ApplRun);
    m.advance(5);
    QCOMPARE(status(m), 2u << 24);
    QCOMPARE(m.registers().A, 0);
}

void tst_SimProtocol::stopHaltsAndRunResumes()
{
    VirtualModule m;
    QVERIFY(download(m, {{"CALC", ADD, 0, 1}, {"COMP", 0, 0, 100}, {"JC", 6, 0, 0}, {"STOP"}}));
    send(m, ModuleCommand::ApplRun);
    m.advance(1);
    send(m, ModuleCommand::ApplStop);
    QCOMPARE(statusState(status(m)), 2);
    QCOMPARE(m.registers().A, Sim::InstructionsPerMs / 3 + 1);
    m.advance(10);
    QCOMPARE(m.registers().A, Sim::InstructionsPerMs / 3 + 1);
    send(m, ModuleCommand::ApplRun);   // resumed, not restarted
    m.advance(10);
    QCOMPARE(m.registers().A, 100);
    QCOMPARE(statusState(status(m)), 0);

    // After the end a run, and a step as well, start over from 0.
    send(m, ModuleCommand::ApplRun);
    m.advance(1);
    QCOMPARE(m.registers().A, 101);
    send(m, ModuleCommand::ApplStep);
    QCOMPARE(m.registers().A, 102);
    QCOMPARE(statusPc(status(m)), 1);
}

void tst_SimProtocol::direct_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("motor");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("replyValue");

    QTest::newRow("GAP default max speed") << int(Opcode::GAP) << 4 << 0 << 0LL << 100 << 100000;
    QTest::newRow("SAP") << int(Opcode::SAP) << 4 << 2 << 777LL << 100 << 777;
    QTest::newRow("SAP read-only") << int(Opcode::SAP) << 3 << 0 << 1LL << 3 << 0;
    QTest::newRow("SAP unknown parameter") << int(Opcode::SAP) << 99 << 0 << 1LL << 3 << 0;
    QTest::newRow("SAP type past 8 bits") << int(Opcode::SAP) << 260 << 0 << 1LL << 3 << 0;
    QTest::newRow("SAP value too high") << int(Opcode::SAP) << 12 << 0 << 2LL << 4 << 0;
    QTest::newRow("SAP value too low") << int(Opcode::SAP) << 4 << 0 << -1LL << 4 << 0;
    QTest::newRow("GAP axis past the last") << int(Opcode::GAP) << 1 << 3 << 0LL << 4 << 0;
    QTest::newRow("STAP not storable") << int(Opcode::STAP) << 1 << 0 << 0LL << 3 << 0;
    QTest::newRow("ROR") << int(Opcode::ROR) << 0 << 0 << 500LL << 100 << 500;
    QTest::newRow("MVP unknown mode") << int(Opcode::MVP) << 4 << 0 << 0LL << 3 << 0;
    QTest::newRow("MVP COORD past the last") << int(Opcode::MVP) << 2 << 0 << 21LL << 4 << 0;
    QTest::newRow("RFS STATUS") << int(Opcode::RFS) << 2 << 0 << 0LL << 100 << 0;
    QTest::newRow("RFS unknown mode") << int(Opcode::RFS) << 3 << 0 << 0LL << 3 << 0;
    QTest::newRow("GGP auto start") << int(Opcode::GGP) << 77 << 0 << 0LL << 100 << 0;
    QTest::newRow("SGP auto start 2") << int(Opcode::SGP) << 77 << 0 << 2LL << 4 << 0;
    QTest::newRow("SGP bank 4") << int(Opcode::SGP) << 1 << 4 << 0LL << 4 << 0;
    QTest::newRow("GGP unknown") << int(Opcode::GGP) << 5 << 0 << 0LL << 3 << 0;
    QTest::newRow("SIO output") << int(Opcode::SIO) << 3 << 2 << 1LL << 100 << 1;
    QTest::newRow("SIO output 2") << int(Opcode::SIO) << 3 << 2 << 2LL << 4 << 0;
    QTest::newRow("SIO to an input") << int(Opcode::SIO) << 3 << 0 << 1LL << 3 << 0;
    QTest::newRow("SIO pull-ups") << int(Opcode::SIO) << 0 << 0 << 255LL << 100 << 255;
    QTest::newRow("SIO pull-ups too high") << int(Opcode::SIO) << 0 << 0 << 256LL << 4 << 0;
    QTest::newRow("GIO analog") << int(Opcode::GIO) << 2 << 1 << 0LL << 100 << 1000;
    QTest::newRow("GIO bank 3") << int(Opcode::GIO) << 0 << 3 << 0LL << 4 << 0;
    QTest::newRow("CALC LOAD") << int(Opcode::CALC) << int(LOAD) << 0 << 7LL << 100 << 7;
    QTest::newRow("CALC unknown") << int(Opcode::CALC) << 10 << 0 << 7LL << 3 << 0;
    QTest::newRow("CALCV on a variable") << int(Opcode::CALCV) << int(ADD) << 9 << 5LL << 100 << 5;
    QTest::newRow("CALCV placeholder") << int(Opcode::CALCV) << 10 << 9 << 5LL << 3 << 0;
    QTest::newRow("CALCVV variable 256") << int(Opcode::CALCVV) << int(ADD) << 1 << 256LL << 4 << 0;
    QTest::newRow("SGP variable 255") << int(Opcode::SGP) << 255 << 2 << -1LL << 100 << -1;
    QTest::newRow("SGP bank 1") << int(Opcode::SGP) << 0 << 1 << 1LL << 3 << 0;
    QTest::newRow("SGP timer period") << int(Opcode::SGP) << 2 << 3 << 10LL << 100 << 10;
    QTest::newRow("SGP timer 3") << int(Opcode::SGP) << 3 << 3 << 10LL << 3 << 0;
    QTest::newRow("GIO analog 8") << int(Opcode::GIO) << 8 << 1 << 0LL << 3 << 0;
    QTest::newRow("MVP COORD axis mask") << int(Opcode::MVP) << 2 << 0x87 << 3LL << 100 << 3;
    QTest::newRow("MVP COORD mask of axis 3") << int(Opcode::MVP) << 2 << 0x88 << 3LL << 4 << 0;
    QTest::newRow("MVP ABS with a mask") << int(Opcode::MVP) << 0 << 0x81 << 3LL << 4 << 0;
    QTest::newRow("CLE unknown") << int(Opcode::CLE) << 6 << 0 << 0LL << 3 << 0;
    QTest::newRow("EI") << int(Opcode::EI) << 0 << 0 << 0LL << 100 << 0;
    QTest::newRow("EI unknown interrupt") << int(Opcode::EI) << 47 << 0 << 0LL << 3 << 0;
    QTest::newRow("SCO") << int(Opcode::SCO) << 20 << 1 << 9LL << 100 << 9;
    QTest::newRow("SCO past the last") << int(Opcode::SCO) << 21 << 1 << 9LL << 3 << 0;
    QTest::newRow("UF15") << int(Opcode::UF15) << 1 << 1 << 1LL << 100 << 0;
    // Flow control (2) is tied to the instruction table's rows by tst_instructiondecoder.
    QTest::newRow("opcode 0") << 0 << 0 << 0 << 0LL << 2 << 0;
    QTest::newRow("opcode 60") << 60 << 0 << 0 << 0LL << 2 << 0;
    QTest::newRow("GetStatus unknown type") << int(ModuleCommand::GetStatus) << 4 << 0 << 0LL << 3 << 0;
    QTest::newRow("unknown request 140") << 140 << 0 << 0 << 0LL << 2 << 0;
}

void tst_SimProtocol::direct()
{
    QFETCH(int, command);
    QFETCH(int, type);
    QFETCH(int, motor);
    QFETCH(qint64, value);
    VirtualModule m;
    m.setAnalogInput(2, 1000);
    const TModuleReply r = send(m, command, type, motor, value);
    QTEST(int(r.Status), "status");
    QTEST(r.Value, "replyValue");
    QVERIFY(!r.IsWord);
}

void tst_SimProtocol::directModeCommandsList()
{
    VirtualModule m;
    m.setDirectModeCommands(QString("5,6,22").split(','));
    QCOMPARE(send(m, Opcode::SAP, 4, 0, 10).Status, uint8_t(100));
    QCOMPARE(send(m, Opcode::ROR, 0, 0, 10).Status, uint8_t(6));
    QCOMPARE(send(m, Opcode::JA).Status, uint8_t(2));   // listed, but flow control
    TModuleRequest bad;
    bad.Command = Opcode::SAP;
    bad.ChecksumValid = false;
    QCOMPARE(m.request(bad).Status, uint8_t(1));
}

void tst_SimProtocol::directWhileRunning()
{
    // Direct instructions reach the running program's world: its A and the axes.
    VirtualModule m;
    QVERIFY(download(m, {{"GAP", 1, 0}, {"COMP", 0, 0, 1000}, {"JC", 6, 0, 0}, {"STOP"}}));
    send(m, ModuleCommand::ApplRun);
    m.advance(10);
    QCOMPARE(send(m, Opcode::ROR, 0, 0, 100000).Status, uint8_t(100));
    m.advance(30);   // still accelerating at 1000 pps per ms
    QCOMPARE(m.state(), VirtualModule::Running);
    m.advance(30);
    QCOMPARE(m.state(), VirtualModule::Stopped);
    QVERIFY(m.registers().A >= 1000);
}

QTEST_APPLESS_MAIN(tst_SimProtocol)
#include "tst_simprotocol.moc"

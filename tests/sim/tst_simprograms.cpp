#include "SimTestSupport.h"

#include <QtTest>

namespace {
enum Calc { ADD, SUB, MUL, DIV, MOD, AND, OR, XOR, NOT, LOAD, SWAP, COMP };
enum Cond { ZE, NZ, EQ, NE, GT, GE, LT, LE, ETO, EAL, EDV, EPO, ESD };
enum Event { TICKS, POS, REFSW, LIMSW, RFS };
enum Err { E_TO = 1, E_AL = 2 };

// Reads one value a row names: "var N", "ap AXIS N", "out N", "coord N AXIS", "depth", "time".
qint64 probe(const VirtualModule& m, const QString& what)
{
    const QStringList p = what.split(' ');
    if (p[0] == "var")
        return m.registers().Vars[p[1].toInt()];
    if (p[0] == "ap")
        return m.axisParameter(p[1].toInt(), p[2].toInt());
    if (p[0] == "out")
        return m.output(p[1].toInt());
    if (p[0] == "coord")
        return m.coordinate(p[1].toInt(), p[2].toInt());
    if (p[0] == "depth")
        return m.callDepth();
    if (p[0] == "time")
        return m.timeMs();
    return 0;
}
} // namespace

class tst_SimPrograms : public QObject
{
    Q_OBJECT

private slots:
    void programs_data();
    void programs();
    void conditions_data();
    void conditions();
    void waitTicksHoldsForItsTime();
    void timerInterrupt();
    void interruptDuringWait();
    void motionAndInputInterrupts();
    void coordinatesSurvivePowerCycleThroughEeprom();
    void traceReportsEveryInstruction();
    void neverEndingProgramIsBoundedByTheClock();
    void runForStopsWhereTheProgramStops_data();
    void runForStopsWhereTheProgramStops();
    void powerCycleWithAutoStart_data();
    void powerCycleWithAutoStart();
};

void tst_SimPrograms::programs_data()
{
    QTest::addColumn<TestProgram>("program");
    QTest::addColumn<int>("ms");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("pc");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("errors");
    QTest::addColumn<QString>("what");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("arithmetic")
        << TestProgram{{"CALC", LOAD, 0, 5}, {"CALC", ADD, 0, 3}, {"CALC", MUL, 0, -2},
                       {"CALC", SUB, 0, 4}, {"STOP"}}
        << 1 << -20 << 0 << 5 << 0 << 0 << "" << 0LL;
    QTest::newRow("division truncates, modulo keeps the sign")
        << TestProgram{{"CALC", LOAD, 0, -7}, {"CALC", MOD, 0, 3}, {"CALC", SWAP}, {"CALC", LOAD, 0, 7},
                       {"CALC", DIV, 0, -2}, {"STOP"}}
        << 1 << -3 << 0 << 6 << 0 << 0 << "" << 0LL;
    QTest::newRow("division by zero keeps A and sets EAL")
        << TestProgram{{"CALC", LOAD, 0, 9}, {"CALC", DIV, 0, 0}, {"STOP"}}
        << 1 << 9 << 0 << 3 << 0 << int(E_AL) << "" << 0LL;
    QTest::newRow("overflow wraps")
        << TestProgram{{"CALC", LOAD, 0, 2147483647}, {"CALC", ADD, 0, 1}, {"STOP"}}
        << 1 << int(-2147483647 - 1) << 0 << 3 << 0 << 0 << "" << 0LL;
    QTest::newRow("logic")
        << TestProgram{{"CALC", LOAD, 0, 12}, {"CALC", AND, 0, 10}, {"CALC", OR, 0, 1},
                       {"CALC", XOR, 0, 3}, {"CALC", NOT}, {"STOP"}}
        << 1 << ~(((12 & 10) | 1) ^ 3) << 0 << 6 << 0 << 0 << "" << 0LL;
    QTest::newRow("CALCX on A and X, SWAP exchanges")
        << TestProgram{{"CALC", LOAD, 0, 4}, {"CALCX", SWAP}, {"CALC", LOAD, 0, 10},
                       {"CALCX", SUB}, {"CALCX", LOAD}, {"STOP"}}
        << 1 << 4 << 4 << 6 << 0 << 0 << "" << 0LL;
    QTest::newRow("CALCV, CALCVV and CALCVA on user variables")
        << TestProgram{{"CALCV", LOAD, 1, 6}, {"CALCV", MUL, 1, 7}, {"CALCVV", LOAD, 2, 1},
                       {"CALCV", SUB, 2, 2}, {"CALC", LOAD, 0, 100}, {"CALCVA", ADD, 2}, {"STOP"}}
        << 1 << 100 << 0 << 7 << 0 << 0 << "var 2" << 140LL;
    QTest::newRow("CALCAV, CALCVX and CALCXV")
        << TestProgram{{"CALCV", LOAD, 3, 8}, {"CALCXV", LOAD, 3}, {"CALCVX", ADD, 3},
                       {"CALC", LOAD, 0, 1}, {"CALCAV", ADD, 3}, {"STOP"}}
        << 1 << 17 << 8 << 6 << 0 << 0 << "var 3" << 16LL;
    QTest::newRow("SIV, GIV, AIV index variables by X")
        << TestProgram{{"CALCV", LOAD, 0, 5}, {"CALCXV", LOAD, 0}, {"SIV", 0, 0, 33},
                       {"CALC", LOAD, 0, 1}, {"GIV"}, {"CALC", ADD, 0, 1}, {"CALCXV", LOAD, 0},
                       {"STOP"}}
        << 1 << 34 << 5 << 8 << 0 << 0 << "var 5" << 33LL;
    QTest::newRow("DJNZ counts a user variable down")
        << TestProgram{{"SGP", 4, 2, 5}, {"CALC", ADD, 0, 2}, {"DJNZ", 4, 0, 1}, {"STOP"}}
        << 1 << 10 << 0 << 4 << 0 << 0 << "var 4" << 0LL;
    QTest::newRow("subroutine returns after the call")
        << TestProgram{{"CSUB", 0, 0, 3}, {"CALC", ADD, 0, 1}, {"STOP"},
                       {"CALC", LOAD, 0, 10}, {"RSUB"}}
        << 1 << 11 << 0 << 5 << 0 << 0 << "depth" << 0LL;
    QTest::newRow("CALL only when the condition holds")
        << TestProgram{{"COMP", 0, 0, 1}, {"CALL", EQ, 0, 5}, {"CALL", NE, 0, 6}, {"STOP"}, {"STOP"},
                       {"CALCV", ADD, 0, 100}, {"CALCV", ADD, 0, 1}, {"RSUB"}}
        << 1 << 0 << 0 << 8 << 0 << 0 << "var 0" << 1LL;
    QTest::newRow("call stack overflow stops with EAL")
        << TestProgram{{"CALC", ADD, 0, 1}, {"CSUB", 0, 0, 0}}
        << 10 << Sim::CallStackDepth + 1 << 0 << 2 << 0 << int(E_AL) << "" << 0LL;
    QTest::newRow("RSUB without a call stops with EAL")
        << TestProgram{{"RSUB"}, {"CALC", LOAD, 0, 1}}
        << 1 << 0 << 0 << 2 << 0 << int(E_AL) << "" << 0LL;
    QTest::newRow("RST empties the call stack")
        << TestProgram{{"CSUB", 0, 0, 2}, {"STOP"}, {"CSUB", 0, 0, 4}, {"STOP"}, {"RST", 0, 0, 5},
                       {"WAIT", TICKS, 0, 1000}}
        << 1 << 0 << 0 << 5 << 1 << 0 << "depth" << 0LL;
    QTest::newRow("jump past the memory ends the program")
        << TestProgram{{"JA", 0, 0, 5000}, {"CALC", LOAD, 0, 3}}
        << 1 << 0 << 0 << Sim::ProgramCapacity << 0 << 0 << "" << 0LL;
    QTest::newRow("unknown opcode and CALC operation do nothing")
        << TestProgram{{"60", 1, 2, 3}, {"CALC", 12, 0, 5}, {"CALC", ADD, 0, 2}, {"STOP"}}
        << 1 << 2 << 0 << 4 << 0 << 0 << "" << 0LL;
    QTest::newRow("CLE clears one error flag")
        << TestProgram{{"CALC", DIV, 0, 0}, {"SAP", 4, 0, 0}, {"MVP", 0, 0, 10}, {"WAIT", POS, 0, 1},
                       {"CLE", 2}, {"STOP"}}
        << 100 << 0 << 0 << 6 << 0 << int(E_TO) << "" << 0LL;
    QTest::newRow("SAC reads 0, UF does nothing")
        << TestProgram{{"CALC", LOAD, 0, 5}, {"UF3", 1, 2, 3}, {"CALCX", SWAP}, {"CALC", LOAD, 0, 5},
                       {"SAC", 1, 0, 9}, {"STOP"}}
        << 1 << 0 << 5 << 6 << 0 << 0 << "" << 0LL;

    // Axes and parameters.
    QTest::newRow("SAP and GAP")
        << TestProgram{{"SAP", 4, 1, 2000}, {"GAP", 4, 1}, {"STOP"}}
        << 1 << 2000 << 0 << 3 << 0 << 0 << "ap 1 4" << 2000LL;
    QTest::newRow("SAP out of range is ignored in a program")
        << TestProgram{{"SAP", 12, 0, 5}, {"SAP", 4, 7, 1}, {"GAP", 12, 0}, {"STOP"}}
        << 1 << 0 << 0 << 4 << 0 << 0 << "ap 0 12" << 0LL;
    QTest::newRow("STAP and RSAP")
        << TestProgram{{"SAP", 4, 0, 500}, {"STAP", 4, 0}, {"SAP", 4, 0, 900}, {"RSAP", 4, 0},
                       {"GAP", 4, 0}, {"STOP"}}
        << 1 << 500 << 0 << 6 << 0 << 0 << "" << 0LL;
    QTest::newRow("X-indexed SAPX, AAPX, GAPX")
        << TestProgram{{"CALC", LOAD, 0, 2}, {"CALCX", SWAP}, {"SAPX", 4, 0, 1234},
                       {"CALC", LOAD, 0, 77}, {"AAPX", 5}, {"GAPX", 4}, {"STOP"}}
        << 1 << 1234 << 2 << 7 << 0 << 0 << "ap 2 5" << 77LL;
    QTest::newRow("ROR moves at its speed")
        << TestProgram{{"ROR", 0, 0, 1000}, {"WAIT", TICKS, 0, 100}, {"GAP", 1, 0}, {"STOP"}}
        << 1100 << 1000 << 0 << 4 << 0 << 0 << "ap 0 3" << 1000LL;
    QTest::newRow("ROL turns the other way, MST stops")
        << TestProgram{{"ROL", 0, 1, 2000}, {"WAIT", TICKS, 0, 50}, {"MST", 0, 1}, {"WAIT", TICKS, 0, 1},
                       {"GAP", 3, 1}, {"STOP"}}
        << 1000 << 0 << 0 << 6 << 0 << 0 << "ap 1 1" << -1000LL;
    QTest::newRow("MVP and WAIT POS wait for the arrival")
        << TestProgram{{"MVP", 0, 0, 5000}, {"WAIT", POS, 0, 0}, {"GAP", 1, 0}, {"STOP"}}
        << 1000 << 5000 << 0 << 4 << 0 << 0 << "ap 0 8" << 1LL;
    QTest::newRow("MVP is still under way")
        << TestProgram{{"MVP", 0, 0, 100000}, {"WAIT", POS, 0, 0}, {"STOP"}}
        << 50 << 0 << 0 << 1 << 1 << 0 << "ap 0 8" << 0LL;
    QTest::newRow("relative moves add up")
        << TestProgram{{"MVP", 1, 2, 300}, {"MVP", 1, 2, -100}, {"WAIT", POS, 2, 0}, {"STOP"}}
        << 1000 << 0 << 0 << 4 << 0 << 0 << "ap 2 1" << 200LL;
    QTest::newRow("coordinates: SCO, MVP COORD, CCO, GCO, ACO")
        << TestProgram{{"SCO", 1, 0, 300}, {"MVP", 2, 0, 1}, {"WAIT", POS, 0, 0}, {"CCO", 2, 0},
                       {"GCO", 2, 0}, {"CALC", ADD, 0, 1}, {"ACO", 3, 0}, {"STOP"}}
        << 1000 << 301 << 0 << 8 << 0 << 0 << "coord 3 0" << 301LL;
    QTest::newRow("setting the actual position keeps the axis still")
        << TestProgram{{"SAP", 1, 0, 42}, {"GAP", 8, 0}, {"STOP"}}
        << 10 << 0 << 0 << 3 << 0 << 0 << "ap 0 1" << 42LL;
    QTest::newRow("WAIT POS times out with ETO")
        << TestProgram{{"SAP", 4, 0, 0}, {"MVP", 0, 0, 10}, {"WAIT", POS, 0, 5}, {"JC", ETO, 0, 5},
                       {"STOP"}, {"CALC", LOAD, 0, 1}, {"STOP"}}
        << 100 << 1 << 0 << 7 << 0 << int(E_TO) << "" << 0LL;
    QTest::newRow("reference search")
        << TestProgram{{"MVP", 0, 0, 5000}, {"WAIT", POS, 0, 0}, {"RFS", 0, 0}, {"WAIT", RFS, 0, 0},
                       {"RFS", 2, 0}, {"CALCX", SWAP}, {"GAP", 1, 0}, {"STOP"}}
        << 3000 << 0 << 0 << 8 << 0 << 0 << "ap 0 9" << 0LL;
    QTest::newRow("WAIT REFSW")
        << TestProgram{{"SAP", 1, 0, 0}, {"MVP", 0, 0, 2000}, {"WAIT", POS, 0, 0}, {"ROL", 0, 0, 10000},
                       {"WAIT", REFSW, 0, 0}, {"MST", 0, 0}, {"STOP"}}
        << 2000 << 0 << 0 << 7 << 0 << 0 << "ap 0 9" << 1LL;
    QTest::newRow("the limit switch stops the axis")
        << TestProgram{{"SAP", 5, 0, 0}, {"SAP", 4, 0, 10000000}, {"ROR", 0, 0, 10000000},
                       {"WAIT", LIMSW, 0, 0}, {"GAP", 3, 0}, {"STOP"}}
        << 1500 << 0 << 0 << 6 << 0 << 0 << "ap 0 10" << 1LL;
    QTest::newRow("a disabled limit switch lets the axis pass")
        << TestProgram{{"SAP", 5, 1, 0}, {"SAP", 4, 1, 10000000}, {"SAP", 13, 1, 1},
                       {"ROL", 0, 1, 10000000}, {"WAIT", LIMSW, 1, 0}, {"WAIT", TICKS, 1, 10}, {"MST", 0, 1},
                       {"GAP", 11, 1}, {"STOP"}}
        << 1500 << 1 << 0 << 9 << 0 << 0 << "ap 1 1" << -11000000LL;
    QTest::newRow("reference search from the left of the switch")
        << TestProgram{{"MVP", 0, 0, -3000}, {"WAIT", POS, 0, 0}, {"RFS", 0, 0}, {"RFS", 2, 0},
                       {"CALCX", SWAP}, {"WAIT", RFS, 0, 0}, {"GAP", 1, 0}, {"STOP"}}
        << 5000 << 0 << 1 << 8 << 0 << 0 << "ap 0 9" << 0LL;
    QTest::newRow("MVP COORD with an axis mask")
        << TestProgram{{"SCO", 4, 0, 100}, {"SCO", 4, 1, -200}, {"SCO", 4, 2, 300}, {"MVP", 2, 0x87, 4},
                       {"WAIT", POS, 0, 0}, {"WAIT", POS, 1, 0}, {"WAIT", POS, 2, 0}, {"GAP", 1, 1},
                       {"STOP"}}
        << 1000 << -200 << 0 << 9 << 0 << 0 << "ap 2 1" << 300LL;
    QTest::newRow("CCO with an axis mask")
        << TestProgram{{"MVP", 0, 0, 50}, {"MVP", 0, 1, 60}, {"WAIT", POS, 0, 0}, {"WAIT", POS, 1, 0},
                       {"CCO", 5, 0x83}, {"GCO", 5, 1}, {"STOP"}}
        << 1000 << 60 << 0 << 7 << 0 << 0 << "coord 5 0" << 50LL;
    QTest::newRow("global parameters and I/O")
        << TestProgram{{"SGP", 0, 3, 250}, {"SIO", 4, 2, 1}, {"GIO", 4, 2}, {"CALCX", SWAP},
                       {"GGP", 0, 3}, {"STOP"}}
        << 1 << 250 << 1 << 6 << 0 << 0 << "out 4" << 1LL;
    QTest::newRow("STGP and RSGP")
        << TestProgram{{"SGP", 7, 2, 5}, {"STGP", 7, 2}, {"SGP", 7, 2, 6}, {"RSGP", 7, 2}, {"STOP"}}
        << 1 << 0 << 0 << 5 << 0 << 0 << "var 7" << 5LL;
}

void tst_SimPrograms::programs()
{
    QFETCH(TestProgram, program);
    QFETCH(int, ms);
    VirtualModule m;
    QVERIFY(download(m, program));
    QCOMPARE(send(m, ModuleCommand::ApplRun).Status, uint8_t(100));
    m.advance(ms);

    QTEST(m.registers().A, "a");
    QTEST(m.registers().X, "x");
    QTEST(m.programCounter(), "pc");
    QTEST(int(m.state()), "state");
    QTEST(int(m.registers().Errors), "errors");
    QFETCH(QString, what);
    if (!what.isEmpty())
        QTEST(probe(m, what), "expected");
}

void tst_SimPrograms::conditions_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("compareWith");
    QTest::addColumn<int>("condition");
    QTest::addColumn<bool>("jumps");

    struct { const char* name; int cond; bool less, equal, greater; } table[] = {
        {"ZE", ZE, false, true, false}, {"NZ", NZ, true, false, true},
        {"EQ", EQ, false, true, false}, {"NE", NE, true, false, true},
        {"GT", GT, false, false, true}, {"GE", GE, false, true, true},
        {"LT", LT, true, false, false}, {"LE", LE, true, true, false},
    };
    for (const auto& row : table) {
        QTest::addRow("%s less", row.name) << -5 << 3 << row.cond << row.less;
        QTest::addRow("%s equal", row.name) << 3 << 3 << row.cond << row.equal;
        QTest::addRow("%s greater", row.name) << 2147483647 << -1 << row.cond << row.greater;
    }
    QTest::newRow("ETO clear") << 0 << 0 << int(ETO) << false;
    QTest::newRow("EDV clear") << 0 << 0 << int(EDV) << false;
    QTest::newRow("EPO clear") << 0 << 0 << int(EPO) << false;
    QTest::newRow("ESD clear") << 0 << 0 << int(ESD) << false;
    QTest::newRow("unknown condition never jumps") << 0 << 0 << 13 << false;
}

void tst_SimPrograms::conditions()
{
    QFETCH(int, a);
    QFETCH(int, compareWith);
    QFETCH(int, condition);
    QFETCH(bool, jumps);
    VirtualModule m;
    QVERIFY(download(m, {{"CALC", LOAD, 0, a}, {"COMP", 0, 0, compareWith}, {"JC", condition, 0, 5},
                         {"CALC", LOAD, 0, 1}, {"STOP"}, {"CALC", LOAD, 0, 2}, {"STOP"}}));
    send(m, ModuleCommand::ApplRun);
    m.advance(1);
    QCOMPARE(m.registers().A, jumps ? 2 : 1);
}

void tst_SimPrograms::waitTicksHoldsForItsTime()
{
    VirtualModule m;
    QVERIFY(download(m, {{"WAIT", TICKS, 0, 10}, {"CALC", LOAD, 0, 1}, {"STOP"}}));
    send(m, ModuleCommand::ApplRun);
    m.advance(100);   // the WAIT took its slot, so 100 ms are not quite enough
    QCOMPARE(m.programCounter(), 0);
    QVERIFY(statusWaiting(m.statusWord()));
    QCOMPARE(statusState(m.statusWord()), 1);
    m.advance(1);
    QCOMPARE(m.registers().A, 1);
    QCOMPARE(m.state(), VirtualModule::Stopped);
}

void tst_SimPrograms::timerInterrupt()
{
    // Timer 0 every 10 ms counts in variable 1; the main loop keeps A and never sees it change.
    VirtualModule m;
    QVERIFY(download(m, {{"SGP", 0, 3, 10}, {"VECT", 0, 0, 7}, {"EI", 0}, {"CALC", LOAD, 0, 5},
                         {"EI", 255}, {"COMP", 0, 0, 5}, {"JC", EQ, 0, 5},
                         {"CALCV", ADD, 1, 1}, {"CALC", LOAD, 0, -1}, {"RETI"}}));
    send(m, ModuleCommand::ApplRun);
    m.advance(105);
    QCOMPARE(m.registers().Vars[1], 10);
    QCOMPARE(m.registers().A, 5);
    QCOMPARE(m.state(), VirtualModule::Running);
    QVERIFY(!m.inInterrupt());

    // Switched off globally, the timer no longer reaches the program.
    send(m, Opcode::DI, 255);
    m.advance(100);
    QCOMPARE(m.registers().Vars[1], 10);
}

void tst_SimPrograms::interruptDuringWait()
{
    VirtualModule m;
    QVERIFY(download(m, {{"SGP", 1, 3, 20}, {"VECT", 1, 0, 6}, {"EI", 1}, {"EI", 255},
                         {"WAIT", TICKS, 0, 10}, {"STOP"}, {"CALCV", ADD, 0, 1}, {"RETI"}}));
    send(m, ModuleCommand::ApplRun);
    m.advance(99);
    QCOMPARE(m.registers().Vars[0], 4);
    QCOMPARE(m.programCounter(), 4);
    QVERIFY(m.waiting());
    m.advance(2);   // the WAIT keeps its own time across the interrupts
    QCOMPARE(m.state(), VirtualModule::Stopped);
}

void tst_SimPrograms::motionAndInputInterrupts()
{
    // Handlers count in variables 0 (position reached 0), 1 (input 2), 2 (right stop switch of
    // axis 1).
    VirtualModule m;
    QVERIFY(download(m, {{"SAP", 5, 1, 0}, {"VECT", 3, 0, 10}, {"VECT", 41, 0, 12},
                         {"VECT", 30, 0, 14}, {"EI", 3}, {"EI", 41}, {"EI", 30}, {"EI", 255},
                         {"JA", 0, 0, 8}, {"STOP"},
                         {"CALCV", ADD, 0, 1}, {"RETI"}, {"CALCV", ADD, 1, 1}, {"RETI"},
                         {"CALCV", ADD, 2, 1}, {"RETI"}}));
    send(m, ModuleCommand::ApplRun);
    m.advance(1);
    QCOMPARE(send(m, Opcode::MVP, 0, 0, 1000).Status, uint8_t(100));
    send(m, Opcode::SAP, 4, 1, 100000000);
    send(m, Opcode::ROR, 0, 1, 100000000);
    m.advance(500);
    QCOMPARE(m.registers().Vars[0], 1);
    QCOMPARE(m.registers().Vars[2], 1);
    QCOMPARE(m.axisParameter(1, 10), 1);

    m.setDigitalInput(2, true);
    m.advance(1);
    m.setDigitalInput(2, true);    // no edge
    m.advance(1);
    m.setDigitalInput(2, false);
    m.advance(1);
    m.setDigitalInput(3, true);    // interrupt 42 is not enabled
    m.advance(1);
    QCOMPARE(m.registers().Vars[1], 2);
    QCOMPARE(send(m, Opcode::GIO, 3, 0).Value, 1);
    QCOMPARE(m.programCounter(), 8);
}

void tst_SimPrograms::coordinatesSurvivePowerCycleThroughEeprom()
{
    VirtualModule m;
    send(m, Opcode::SCO, 3, 0, 77);
    send(m, Opcode::SCO, 3, 2, 99);
    QCOMPARE(send(m, Opcode::SCO, 3, 255).Status, uint8_t(100));
    send(m, Opcode::SCO, 3, 0, 5);
    QCOMPARE(send(m, Opcode::GCO, 3, 0).Value, 5);
    QCOMPARE(send(m, Opcode::GCO, 3, 255).Status, uint8_t(100));
    QCOMPARE(send(m, Opcode::GCO, 3, 0).Value, 77);
    send(m, Opcode::SCO, 3, 0, 6);
    send(m, Opcode::SCO, 4, 1, 8);   // never stored
    m.powerCycle();
    QCOMPARE(m.coordinate(3, 0), 77);
    QCOMPARE(m.coordinate(3, 2), 99);
    QCOMPARE(m.coordinate(4, 1), 0);
}

void tst_SimPrograms::traceReportsEveryInstruction()
{
    VirtualModule m;
    QVERIFY(download(m, {{"CALC", LOAD, 0, 2}, {"WAIT", TICKS, 0, 1}, {"CALC", ADD, 0, 3},
                         {"JA", 0, 0, 5}, {"STOP"}, {"CALCX", SWAP}, {"STOP"}}));
    QVector<TTraceStep> steps;
    m.setTraceHook([&steps](const TTraceStep& s) { steps.append(s); });
    send(m, ModuleCommand::ApplRun);
    m.advance(20);
    QCOMPARE(steps.size(), 6);
    const int addresses[] = {0, 1, 2, 3, 5, 6};
    for (int i = 0; i < steps.size(); ++i)
        QCOMPARE(steps[i].Address, addresses[i]);
    QCOMPARE(int(steps[2].Opcode), int(Opcode::CALC));
    QCOMPARE(steps[2].A, 5);
    QCOMPARE(steps[2].TimeMs, qint64(10));   // after the WAIT
    QCOMPARE(steps[4].X, 5);
    QCOMPARE(m.state(), VirtualModule::Stopped);

    send(m, ModuleCommand::ApplStep);
    QCOMPARE(steps.size(), 7);
    QCOMPARE(steps.last().Address, 0);
}

void tst_SimPrograms::neverEndingProgramIsBoundedByTheClock()
{
    VirtualModule m;
    QVERIFY(download(m, {{"CALC", ADD, 0, 1}, {"JA", 0, 0, 0}}));
    send(m, ModuleCommand::ApplRun);
    m.advance(10000);
    QCOMPARE(m.timeMs(), qint64(10000));
    QCOMPARE(m.executedInstructions(), quint64(10000) * Sim::InstructionsPerMs);
    QCOMPARE(m.registers().A, 10000 * Sim::InstructionsPerMs / 2);
    QCOMPARE(m.state(), VirtualModule::Running);
}

void tst_SimPrograms::runForStopsWhereTheProgramStops_data()
{
    QTest::addColumn<TestProgram>("program");
    QTest::addColumn<int>("limit");            // instructions
    QTest::addColumn<int>("executed");
    QTest::addColumn<int>("ms");               // module time afterwards
    QTest::addColumn<int>("cause");            // VirtualModule::EndCause
    QTest::addColumn<int>("endAddress");

    using C = VirtualModule::EndCause;
    const TestProgram loop{{"CALC", ADD, 0, 1}, {"JA", 0, 0, 0}};
    QTest::newRow("limit inside a millisecond") << loop << 101 << 101 << 2 << int(C::None) << -1;
    QTest::newRow("limit on a millisecond") << loop << 80 << 80 << 2 << int(C::None) << -1;
    QTest::newRow("STOP") << TestProgram{{"CALC", LOAD, 0, 1}, {"WAIT", TICKS, 0, 2}, {"STOP"}}
                          << 1000 << 3 << 20 << int(C::Stop) << 2;
    QTest::newRow("end marker") << TestProgram{{"CALC", LOAD, 0, 1}} << 1000 << 1 << 0
                                << int(C::EndMarker) << 1;
    QTest::newRow("jump past the program")
        << TestProgram{{"JA", 0, 0, 7}, {"STOP"}} << 1000 << 1 << 0 << int(C::EndMarker) << 7;
    QTest::newRow("call stack overflow") << TestProgram{{"CSUB", 0, 0, 0}} << 1000 << 17 << 0
                                         << int(C::CallStackOverflow) << 0;
    QTest::newRow("CALL overflows too") << TestProgram{{"CALL", ZE, 0, 0}} << 1000 << 17 << 0
                                        << int(C::CallStackOverflow) << 0;
    QTest::newRow("return without a call")
        << TestProgram{{"CALC", LOAD, 0, 1}, {"RSUB"}} << 1000 << 2 << 0
        << int(C::ReturnWithoutCall) << 1;
}

void tst_SimPrograms::runForStopsWhereTheProgramStops()
{
    QFETCH(TestProgram, program);
    QFETCH(int, limit);
    VirtualModule m;
    QVERIFY(download(m, program));
    send(m, ModuleCommand::ApplRun);
    m.runFor(1000, quint64(limit));
    QTEST(int(m.executedInstructions()), "executed");
    QTEST(int(m.timeMs()), "ms");
    QTEST(int(m.endCause()), "cause");
    QTEST(m.endAddress(), "endAddress");
    QCOMPARE(m.state() == VirtualModule::Running, m.endCause() == VirtualModule::EndCause::None);

    // Runs on from where it stopped; a new run forgets how the last one ended.
    m.runFor(1, quint64(limit) + 1);
    if (m.state() == VirtualModule::Running)
        QCOMPARE(int(m.executedInstructions()), limit + 1);
    send(m, ModuleCommand::ApplRun);
    QCOMPARE(int(m.endCause()), int(VirtualModule::EndCause::None));
}

void tst_SimPrograms::powerCycleWithAutoStart_data()
{
    QTest::addColumn<int>("autoStart");
    QTest::newRow("off") << 0;
    QTest::newRow("on") << 1;
}

void tst_SimPrograms::powerCycleWithAutoStart()
{
    QFETCH(int, autoStart);
    VirtualModule m;
    QVERIFY(download(m, {{"CALC", ADD, 0, 1}, {"CALCV", ADD, 2, 1}, {"STOP"}}));
    QCOMPARE(send(m, Opcode::SGP, 77, 0, autoStart).Status, uint8_t(100));
    send(m, Opcode::SGP, 2, 2, 40);
    send(m, Opcode::STGP, 2, 2);
    send(m, Opcode::SGP, 2, 2, 99);
    send(m, Opcode::CALC, LOAD, 0, 50);
    send(m, Opcode::MVP, 0, 0, 100000);
    m.advance(10);

    m.powerCycle();
    QCOMPARE(m.registers().A, 0);
    QCOMPARE(m.registers().Vars[2], 40);
    QCOMPARE(m.axisParameter(0, 1), 0);
    QCOMPARE(send(m, Opcode::GGP, 77, 0).Value, autoStart);
    QCOMPARE(int(m.state()), autoStart);
    m.advance(1);
    QCOMPARE(m.registers().A, autoStart);
    QCOMPARE(m.registers().Vars[2], 40 + autoStart);
}

QTEST_APPLESS_MAIN(tst_SimPrograms)
#include "tst_simprograms.moc"

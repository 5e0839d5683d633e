#include "CaseFile.h"
#include "SimTestSupport.h"

#include <QtTest>

namespace {
enum Calc { ADD, SUB, MUL, DIV, MOD, AND, OR, XOR, NOT, LOAD, SWAP, COMP };
enum Cond { ZE, NZ, EQ, NE, GT, GE, LT, LE, ETO, EAL, EDV, EPO, ESD };
enum Event { TICKS, POS, REFSW, LIMSW, RFS };

// Reads one value a case names: "a", "x", "pc", "state", "errors" (flag names joined by '+'),
// "var/N", "ap/AXIS/N", "out/N", "coord/N/AXIS", "depth", "time".
QString probe(const VirtualModule& m, const QString& what)
{
    const QStringList p = what.split('/');
    const auto n = [&p](int i) { return p.value(i).toInt(); };
    if (p[0] == "a" || p[0] == "x")
        return QString::number(p[0] == "a" ? m.registers().A : m.registers().X);
    if (p[0] == "pc")
        return QString::number(m.programCounter());
    if (p[0] == "state")
        return QStringList{"stopped", "running", "halted"}.value(int(m.state()));
    if (p[0] == "errors") {
        QStringList flags;
        for (int bit = 0; bit < 5; ++bit)
            if (m.registers().Errors & (1 << bit))
                flags << ConditionMnemonic[Condition::ETO + bit];
        return flags.isEmpty() ? "none" : flags.join('+');
    }
    if (p[0] == "var")
        return QString::number(m.registers().Vars[n(1)]);
    if (p[0] == "ap")
        return QString::number(m.axisParameter(n(1), n(2)));
    if (p[0] == "out")
        return QString::number(m.output(n(1)));
    if (p[0] == "coord")
        return QString::number(m.coordinate(n(1), n(2)));
    if (p[0] == "depth")
        return QString::number(m.callDepth());
    if (p[0] == "time")
        return QString::number(m.timeMs());
    return "unknown probe";
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

// tests/cases/sim-programs.cases: a program run for a while, and what the module holds then.
void tst_SimPrograms::programs_data()
{
    AddCaseRows("sim-programs.cases");
}

void tst_SimPrograms::programs()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    TestProgram program;
    for (const QString& line : body) {
        TInstruction word;
        QVERIFY2(ParseCaseWord(line, &word), qPrintable("not a program word: " + line));
        program.append({QString::number(word.Opcode), word.Type, word.Motor, word.Value});
    }
    const QRegularExpressionMatch run = QRegularExpression("^after (\\d+) ms: (.*)$").match(results.value(0));
    QVERIFY2(results.size() == 1 && run.hasMatch(), "one result: \"after MS ms: PROBE=VALUE ...\"");
    VirtualModule m;
    QVERIFY(download(m, program));
    QCOMPARE(send(m, ModuleCommand::ApplRun).Status, uint8_t(100));
    m.advance(run.captured(1).toInt());
    for (const QString& pair : CasePairs(run.captured(2)))
        QCOMPARE(pair.section('=', 0, 0) + '=' + probe(m, pair.section('=', 0, 0)), pair);
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

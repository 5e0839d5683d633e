#include "SimScript.h"
#include "SimTestSupport.h"

#include <QtTest>

#include <cmath>
#include <random>

// Motion, timers and the clock of the virtual module: moves within the acceleration limit, timers
// on whole milliseconds, and a clock that jumps from event to event yet gives every millisecond
// the state that stepping one millisecond at a time gives.
namespace {
enum Event { TICKS, POS, REFSW, LIMSW };
enum Par { TargetPos = 0, ActualPos = 1, ActualVel = 3, MaxSpeed = 4, MaxAccel = 5, Reached = 8,
           RefSwitch = 9, RightSwitch = 10, LeftSwitch = 11, RightDisable = 12, LeftDisable = 13 };

// Everything a program or a host can see of the module at one millisecond.
QVector<qint64> snapshot(const VirtualModule& m)
{
    QVector<qint64> s{m.timeMs(), m.programCounter(), m.state(), m.waiting(), m.registers().A,
                      m.registers().X, m.registers().Errors, m.registers().Vars[1], m.inInterrupt(),
                      qint64(m.executedInstructions())};
    for (int axis = 0; axis < Sim::AxisCount; ++axis) {
        for (int p : {ActualPos, ActualVel, Reached, RefSwitch, RightSwitch, LeftSwitch})
            s << m.axisParameter(axis, p);
    }
    return s;
}

// A random program of motion commands, waits and parameter changes in an endless loop, with a
// timer and a position-reached interrupt whose handler reads a position.
QString randomMotionProgram(quint32 seed, bool steady)
{
    std::mt19937 rng(seed);
    const auto pick = [&rng](std::initializer_list<qint64> values) {
        return values.begin()[std::uniform_int_distribution<size_t>(0, values.size() - 1)(rng)];
    };
    const auto any = [&rng](qint64 lo, qint64 hi) { return std::uniform_int_distribution<qint64>(lo, hi)(rng); };
    struct Word   // braces: its operands are drawn in order
    {
        const char* mnemonic;
        qint64 type, motor = 0, value = 0;
    };
    const auto word = [](const Word& w) { return QString("%1 %2 %3 %4").arg(w.mnemonic).arg(w.type).arg(w.motor).arg(w.value); };
    const qint64 period = any(1, 700);
    QStringList p{"VECT", "VECT 3", "EI 0", "EI 3", "EI 255", word({"SGP", 0, 3, steady ? pick({0, 250, 1000}) : period})};
    const int body = p.size();
    const int count = int(any(6, 18));
    for (int i = 0; i < count; ++i) {
        // Axis 0 keeps its counter equal to its physical position (no SAP 1, no RFS), so its
        // switches can be checked against its position. A steady program repeats itself after
        // a while: moves to fixed places, rotations, waits, no counting.
        const int axis = int(any(0, 2));
        switch (steady ? pick({0, 1, 2, 4, 5, 6, 6, 7, 11}) : any(0, 13)) {
        case 0: p << word({"SAP", MaxSpeed, axis, pick({0, 1000, 50000, 100000, 3000000, 20000000})}); break;
        case 1: p << word({"SAP", MaxAccel, axis, pick({0, 1, 1500, 100000, 1000000, 7777777})}); break;
        case 2: p << word({"MVP", 0, axis, pick({0, any(-5000, 5000), any(-12000000, 12000000)})}); break;
        case 3: p << word({"MVP", 1, axis, any(-300000, 300000)}); break;
        case 4: p << word({pick({0, 1}) ? "ROR" : "ROL", 0, axis, pick({any(0, 5000), any(0, 30000000)})}); break;
        case 5: p << word({"MST", 0, axis}); break;
        case 6: p << word({"WAIT", TICKS, 0, any(1, 80)}); break;
        case 7: p << word({"WAIT", pick({POS, REFSW, LIMSW}), axis, any(1, 200)}); break;
        case 8: p << word({"RFS", pick({0, 1}), any(1, 2)}); break;
        case 9: p << word({"SAP", pick({RightDisable, LeftDisable}), axis, pick({0, 1})}); break;
        case 10: p << word({"SAP", ActualPos, any(1, 2), any(-1000, 1000)}); break;
        case 11: p << word({"GAP", pick({ActualPos, ActualVel}), axis}); break;
        case 12: p << word({"SGP", any(0, 2), 3, any(0, 300)}); break;
        default: p << word({"SAP", pick({194, 195}), axis, pick({0, 500, 20000})}); break;
        }
    }
    p << word({"JA", 0, 0, body});
    p[0] = word({"VECT", 0, 0, p.size()});
    p[1] = word({"VECT", 3, 0, p.size()});
    // Steady: the handler XORs, so the count repeats too.
    p << word({"CALCV", steady ? 7 : 0, 1, 1}) << word({"GAP", steady ? ActualVel : ActualPos, any(0, 2)}) << "RETI";
    return p.join("; ");
}
// The switches of axis 0 agree with its position (a position that rounds to a switch's edge
// may lie on either side of it), and an enabled limit switch that is on keeps the axis from
// moving into it.
void checkSwitches(const VirtualModule& m)
{
    const qint64 at = m.axisParameter(0, ActualPos), v = m.axisParameter(0, ActualVel);
    const qint64 edge = Sim::LimitTravel;
    const bool right = m.axisParameter(0, RightSwitch), left = m.axisParameter(0, LeftSwitch);
    if (at != 0)
        QCOMPARE(bool(m.axisParameter(0, RefSwitch)), at < 0);
    if (at != edge)
        QCOMPARE(right, at > edge);
    if (at != -edge)
        QCOMPARE(left, at < -edge);
    if (right && !m.axisParameter(0, RightDisable))
        QVERIFY(v <= 0);
    if (left && !m.axisParameter(0, LeftDisable))
        QVERIFY(v >= 0);
}
} // namespace

class tst_SimMotion : public QObject
{
    Q_OBJECT

private slots:
    void movesStayWithinTheAcceleration_data();
    void movesStayWithinTheAcceleration();
    void segmentsAreClosedForm();
    void timersFireOnWholeMilliseconds();
    void jumpingEqualsStepping_data();
    void jumpingEqualsStepping();
    void repeatingProgramsSkipPeriods_data();
    void repeatingProgramsSkipPeriods();
};

void tst_SimMotion::movesStayWithinTheAcceleration_data()
{
    QTest::addColumn<int>("speed");       // pps
    QTest::addColumn<int>("accel");       // pps/s
    QTest::addColumn<int>("rotate");      // velocity before the move, pps
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("endMs");       // -1: only at least the time the ramps need

    QTest::newRow("1000 steps, defaults: triangle") << 100000 << 1000000 << 0 << 1000 << 64;
    QTest::newRow("one side of examples/moves.kro") << 50000 << 100000 << 0 << 12800 << 716;
    QTest::newRow("trapezoid") << 100000 << 1000000 << 0 << -200000 << 2100;
    QTest::newRow("acceleration of a fraction per millisecond") << 7000 << 1500 << 0 << 3 << -1;
    QTest::newRow("no ramp") << 3000 << 0 << 0 << 10 << 5;
    QTest::newRow("target behind a fast axis") << 100000 << 1000000 << 100000 << 100 << -1;
    QTest::newRow("turning round") << 50000 << 300000 << -40000 << 5000 << -1;
    QTest::newRow("faster than the new speed limit") << 1000 << 250000 << 90000 << 5000 << -1;
}

// Every millisecond the velocity changes by at most the acceleration; the axis comes to rest
// exactly on the target, no sooner than the ramps allow, and the flag and the interrupt come
// with the end.
void tst_SimMotion::movesStayWithinTheAcceleration()
{
    QFETCH(int, speed);
    QFETCH(int, accel);
    QFETCH(int, rotate);
    QFETCH(int, target);
    QFETCH(int, endMs);
    VirtualModule m;
    QVERIFY(LoadProgram(m, "VECT 3 0 4; EI 3; EI 255; JA 0 0 3; CALCV 0 1 1; RETI"));
    send(m, ModuleCommand::ApplRun);
    if (rotate != 0) {
        send(m, Opcode::SAP, MaxAccel, 0, 0);
        send(m, Opcode::ROR, 0, 0, rotate);
        m.advance(2);
    }
    send(m, Opcode::SAP, MaxSpeed, 0, speed);
    send(m, Opcode::SAP, MaxAccel, 0, accel);
    const qint64 start = m.timeMs();
    QCOMPARE(send(m, Opcode::MVP, 0, 0, target).Status, uint8_t(100));
    const int perMs = accel == 0 ? INT_MAX : (accel + 999) / 1000 + 1;   // reading rounds to pps
    int v = m.axisParameter(0, ActualVel);
    qint64 arrived = -1;
    for (int ms = 1; ms < 20000 && arrived < 0; ++ms) {
        m.advance(1);
        const int next = m.axisParameter(0, ActualVel);
        if (std::abs(next - v) > perMs && v > -speed && v < speed)
            QFAIL(qPrintable(QString("velocity %1 -> %2 at %3 ms").arg(v).arg(next).arg(ms)));
        v = next;
        QCOMPARE(m.registers().Vars[1], 0);
        if (m.axisParameter(0, Reached))
            arrived = ms;
    }
    QVERIFY(arrived > 0);
    m.advance(1);   // the handler runs after the millisecond of the arrival
    QCOMPARE(m.registers().Vars[1], 1);
    QCOMPARE(m.axisParameter(0, ActualPos), target);
    QCOMPARE(v, 0);
    if (rotate == 0 && accel > 0) {
        // The least time of a continuous ramp: a triangle, or a trapezoid at the speed limit.
        const double d = std::abs(target), a = accel, vmax = speed;
        const double least = d < vmax * vmax / a ? 2 * std::sqrt(d / a) : d / vmax + vmax / a;
        QVERIFY2(arrived >= least * 1000, qPrintable(QString::number(arrived)));
    }
    if (endMs >= 0)
        QCOMPARE(arrived, qint64(endMs));
    QCOMPARE(m.timeMs() - start, arrived + 1);
}

// Between two calls of the segment hook the acceleration is constant, and the hook announces
// the next change in advance.
void tst_SimMotion::segmentsAreClosedForm()
{
    VirtualModule m;
    QList<qint64> calls;
    m.setSegmentHook([&calls](qint64 ms) { calls << ms; });
    send(m, Opcode::SAP, MaxSpeed, 1, 30000);
    send(m, Opcode::MVP, 0, 1, 40000);
    m.advance(50);
    send(m, Opcode::ROL, 0, 1, 20000);
    QList<qint64> positions{m.axisParameter(1, ActualPos)}, announced{m.nextSegmentMs()};
    for (int ms = 1; ms <= 2000; ++ms) {
        m.advance(1);
        positions << m.axisParameter(1, ActualPos);
        announced << m.nextSegmentMs();
    }
    QVERIFY(calls.size() > 6);
    QCOMPARE(calls.first(), qint64(0));
    for (int i = 0; i + 1 < calls.size(); ++i) {
        const qint64 from = calls[i] - 50, to = calls[i + 1] - 50;
        if (from < 0 || to > 2000)
            continue;
        QCOMPARE(announced[int(from)], calls[i + 1]);
        for (qint64 t = from + 2; t <= to; ++t) {
            const qint64 second = positions[int(t)] - 2 * positions[int(t - 1)] + positions[int(t - 2)];
            const qint64 first = positions[int(from + 2)] - 2 * positions[int(from + 1)] + positions[int(from)];
            QVERIFY2(std::abs(second - first) <= 1, qPrintable(QString("at %1 ms").arg(t + 50)));
        }
    }
}

// A timer fires at whole milliseconds counted from the one it was set in; two timers due in the
// same millisecond run their handlers the lower number first.
void tst_SimMotion::timersFireOnWholeMilliseconds()
{
    VirtualModule m;
    // Slots 5 to 36 count; slots 37 and 38 of millisecond 0 set the timers.
    QVERIFY(LoadProgram(m, "VECT 0 0 40; VECT 1 0 43; EI 0; EI 1; EI 255; " + QString("CALC 0 0 1; ").repeated(32)
                               + "SGP 1 3 2; SGP 0 3 1; JA 0 0 39; CALCV 0 9 1; CALCVV 9 0 9; RETI; "
                                 "CALCV 0 9 1; CALCVV 9 1 9; RETI"));
    QList<QPair<qint64, int>> handlerStarts;
    m.setTraceHook([&handlerStarts](const TTraceStep& s) {
        if (s.Address == 40 || s.Address == 43)
            handlerStarts << qMakePair(s.TimeMs, s.Address);
    });
    send(m, ModuleCommand::ApplRun);
    m.advance(3);
    // Timer 0, set at 0.95 ms, fires at 1 ms (its handler's first instruction ends in
    // millisecond 1); at 2 ms both are due and timer 0 goes first.
    const QList<QPair<qint64, int>> expected{{1, 40}, {2, 40}, {2, 43}};
    QCOMPARE(handlerStarts, expected);
    QCOMPARE(m.registers().Vars[0], 2);
    QCOMPARE(m.registers().Vars[1], 3);
}

void tst_SimMotion::jumpingEqualsStepping_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("steady");
    for (quint32 seed = 1; seed <= 40; ++seed)
        QTest::addRow("seed %u", seed) << seed << false;
    for (quint32 seed = 1; seed <= 20; ++seed)
        QTest::addRow("steady, seed %u", seed) << seed << true;
}

// The same random program once a millisecond at a time and once in jumps of up to five seconds
// (thirty for the steady ones, so periods pass at once within a jump): every millisecond where a
// jump ends shows the same module.
void tst_SimMotion::jumpingEqualsStepping()
{
    QFETCH(quint32, seed);
    QFETCH(bool, steady);
    const QString program = randomMotionProgram(seed, steady);
    const int duration = steady ? 60000 : 30000;
    VirtualModule stepped, jumped;
    QVERIFY(LoadProgram(stepped, program));
    QVERIFY(LoadProgram(jumped, program));
    send(stepped, ModuleCommand::ApplRun);
    send(jumped, ModuleCommand::ApplRun);
    QVector<QVector<qint64>> states{snapshot(stepped)};
    for (int ms = 1; ms <= duration; ++ms) {
        stepped.advance(1);
        states << snapshot(stepped);
        checkSwitches(stepped);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QString("switches of axis 0 at %1 ms").arg(ms)));
    }
    std::mt19937 rng(seed * 7919u);
    for (int ms = 0; ms < duration;) {
        const int jump = std::min(duration - ms, std::uniform_int_distribution<int>(1, steady ? 30000 : 5000)(rng));
        jumped.advance(jump);
        ms += jump;
        QCOMPARE(snapshot(jumped), states[ms]);
    }
}

void tst_SimMotion::repeatingProgramsSkipPeriods_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("position");   // of axis 0 at the end, to see where the run went

    QTest::newRow("drifts into the limit switch")
        << "ROR 0 0 100000; WAIT TICKS 0 100; ROL 0 0 50000; WAIT TICKS 0 100; JA 0 0 0" << 2000 << 9957425;
    QTest::newRow("swings across the reference switch, then away from it")
        << "ROR 0 0 1000; WAIT TICKS 0 100; ROL 0 0 1000; WAIT TICKS 0 100; JA 0 0 0" << 20000 << -498;
    QTest::newRow("moves between two places")
        << "MVP 0 0 5000; WAIT POS 0 0; MVP 0 0 -3000; WAIT POS 0 0; WAIT TICKS 0 3; JA 0 0 0" << 2000 << -372;
    QTest::newRow("a timer that never lines up with the loop")
        << "VECT 0 0 9; EI 0; EI 255; SGP 0 3 300; MVP 0 0 5000; WAIT POS 0 0; MVP 0 0 -3000; WAIT POS 0 0; "
           "JA 0 0 4; CALCV 7 5 1; RETI" << 2000 << 2515;
    QTest::newRow("reads where it is while it drifts")   // stops at 30,000 after 600 s; the axis turns on
        << "ROR 0 0 1000; WAIT TICKS 0 100; GAP 1 0; ROL 0 0 900; WAIT TICKS 0 100; COMP 0 0 30000; JC 6 0 0; STOP"
        << 1000 << -345157;
}

// A program that repeats itself runs in one call, in which whole periods pass at once, and in
// calls of a second, shorter than its period, in which none can: both end in the same state.
void tst_SimMotion::repeatingProgramsSkipPeriods()
{
    QFETCH(QString, program);
    QFETCH(int, seconds);
    VirtualModule once, often;
    QVERIFY(LoadProgram(once, program));
    QVERIFY(LoadProgram(often, program));
    send(once, ModuleCommand::ApplRun);
    send(often, ModuleCommand::ApplRun);
    for (int s = 0; s < seconds; ++s)
        often.advance(1000);
    once.advance(qint64(seconds) * 1000);
    QCOMPARE(snapshot(once), snapshot(often));
    QTEST(once.axisParameter(0, ActualPos), "position");
}

QTEST_APPLESS_MAIN(tst_SimMotion)
#include "tst_simmotion.moc"

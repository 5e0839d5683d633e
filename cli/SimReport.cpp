#include "SimReport.h"

#include "SimParameters.h"
#include "SimProgram.h"
#include "SimRun.h"
#include "StopSignals.h"
#include "SubCommand.h"
#include "TRegisters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString instructionCount(quint64 n)
{
    return QString::number(n) + (n == 1 ? QStringLiteral(" instruction") : QStringLiteral(" instructions"));
}

struct FlagName
{
    uint8_t bit;
    const char* name;
};
const FlagName Flags[] = {{ErrorFlag::ETO, "ETO"}, {ErrorFlag::EAL, "EAL"}, {ErrorFlag::EDV, "EDV"},
                          {ErrorFlag::EPO, "EPO"}, {ErrorFlag::ESD, "ESD"}};

const char* stateName(VirtualModule::State state)
{
    switch (state) {
    case VirtualModule::Running: return "running";
    case VirtualModule::Halted: return "halted";
    default: return "stopped";
    }
}

const char* resultKey(SimRun::Result result)
{
    switch (result) {
    case SimRun::Result::TimeLimit: return "time-limit";
    case SimRun::Result::StepLimit: return "step-limit";
    case SimRun::Result::Fault: return "error";
    case SimRun::Result::Interrupted: return "interrupted";
    default: return "end";
    }
}

QString onOff(int32_t value)
{
    return value ? QStringLiteral("on") : QStringLiteral("off");
}

double perSecond(uint64_t count, double seconds)
{
    return seconds > 0 ? double(count) / seconds : 0.0;
}

} // namespace

SimReport::SimReport(const SimRun& run, const SimProgram& program, int64_t timeLimitMs,
                     uint64_t stepLimit)
    : m_run(run), m_program(program), m_timeLimitMs(timeLimitMs), m_stepLimit(stepLimit)
{
}

int SimReport::exitCode() const
{
    switch (m_run.result()) {
    case SimRun::Result::Ended: return ExitCode::Ok;
    case SimRun::Result::Fault: return ExitCode::Failed;
    case SimRun::Result::Interrupted: return 128 + m_run.signal();   // as the shell reports it
    default: return ExitCode::Limit;
    }
}

QString SimReport::endMark() const
{
    return QString::fromLatin1(resultKey(m_run.result())).replace(QLatin1Char('-'), QLatin1Char(' '));
}

QString SimReport::faultText() const
{
    const VirtualModule& m = m_run.module();
    const QString what = m.endCause() == VirtualModule::EndCause::CallStackOverflow
                             ? QStringLiteral("call stack overflow")
                             : QStringLiteral("return without a call");
    return what + QStringLiteral(" at address ") + QString::number(m.endAddress());
}

QString SimReport::resultText() const
{
    const VirtualModule& m = m_run.module();
    const QString where = m_program.location(m.endAddress());
    const QString in = where.isEmpty() ? QString() : QStringLiteral(", ") + where;
    switch (m_run.result()) {
    case SimRun::Result::TimeLimit:
        return QStringLiteral("time limit (%1 ms of module time)").arg(m_timeLimitMs);
    case SimRun::Result::StepLimit:
        return QStringLiteral("step limit (%1)").arg(instructionCount(m_stepLimit));
    case SimRun::Result::Fault:
        return QStringLiteral("ended on an error (%1%2)").arg(faultText(), in);
    case SimRun::Result::Interrupted:
        return QStringLiteral("interrupted (%1 after %2 ms of module time)")
            .arg(QLatin1String(StopSignals::name(m_run.signal())))
            .arg(m.timeMs());
    default:
        return QStringLiteral("program end (%1 at address %2%3)")
            .arg(m.endCause() == VirtualModule::EndCause::Stop ? QStringLiteral("STOP")
                                                                : QStringLiteral("end of the program"))
            .arg(m.endAddress())
            .arg(in);
    }
}

QString SimReport::problem() const
{
    switch (m_run.result()) {
    case SimRun::Result::TimeLimit:
        return QStringLiteral("krol sim: time limit reached after %1 ms of module time").arg(m_timeLimitMs);
    case SimRun::Result::StepLimit:
        return QStringLiteral("krol sim: step limit reached after %1").arg(instructionCount(m_stepLimit));
    case SimRun::Result::Interrupted:
        return QStringLiteral("krol sim: interrupted by %1 after %2 ms of module time")
            .arg(QLatin1String(StopSignals::name(m_run.signal())))
            .arg(m_run.module().timeMs());
    case SimRun::Result::Fault: {
        const int address = m_run.module().endAddress();
        const QString where = m_program.location(address);
        return (where.isEmpty() ? m_program.path() : where) + QStringLiteral(": error: program ended: ")
               + faultText();
    }
    default:
        return QString();
    }
}

void SimReport::printText(QTextStream& out, bool stats) const
{
    const VirtualModule& m = m_run.module();
    const TRegisters& r = m.registers();
    QStringList flags;
    for (const FlagName& f : Flags) {
        if (r.Errors & f.bit)
            flags << QLatin1String(f.name);
    }
    out << "Result:           " << resultText() << "\n"
        << "Module time:      " << m.timeMs() << " ms\n"
        << "Instructions:     " << m_run.instructions() << "\n"
        << "Program counter:  " << m.programCounter() << "\n"
        << "State:            " << stateName(m.state()) << (m.waiting() ? ", waiting" : "") << "\n"
        << "A:                " << r.A << "\n"
        << "X:                " << r.X << "\n"
        << "Error flags:      " << (flags.isEmpty() ? QStringLiteral("none") : flags.join(' ')) << "\n"
        << "Axis     Position     Velocity  Reference  Left limit  Right limit\n";
    for (int axis = 0; axis < Sim::AxisCount; ++axis) {
        out << QString::number(axis).rightJustified(4) << "  "
            << QString::number(m.axisParameter(axis, Sim::AxisPar::ActualPosition)).rightJustified(11)
            << "  "
            << QString::number(m.axisParameter(axis, Sim::AxisPar::ActualVelocity)).rightJustified(11)
            << "  " << onOff(m.axisParameter(axis, Sim::AxisPar::ReferenceSwitch)).leftJustified(9)
            << "  " << onOff(m.axisParameter(axis, Sim::AxisPar::LeftLimitSwitch)).leftJustified(10)
            << "  " << onOff(m.axisParameter(axis, Sim::AxisPar::RightLimitSwitch)) << "\n";
    }
    if (stats) {
        out << "Instructions executed:    " << m_run.instructions() << "\n"
            << "Module time simulated:    " << m.timeMs() << " ms\n"
            << "Wall time:                " << QString::number(m_run.wallSeconds(), 'f', 6) << " s\n"
            << "CPU time:                 " << QString::number(m_run.cpuSeconds(), 'f', 6) << " s\n"
            << "Instructions per second:  "
            << QString::number(perSecond(m_run.instructions(), m_run.wallSeconds()), 'f', 0) << "\n";
    }
}

QByteArray SimReport::json(bool stats) const
{
    const VirtualModule& m = m_run.module();
    const TRegisters& r = m.registers();
    QJsonObject o;
    o.insert(QStringLiteral("result"), QLatin1String(resultKey(m_run.result())));
    o.insert(QStringLiteral("error"), m_run.result() == SimRun::Result::Fault
                                          ? QJsonValue(faultText())
                                          : QJsonValue(QJsonValue::Null));
    const int end = m.endAddress();
    o.insert(QStringLiteral("end_address"), end >= 0 ? QJsonValue(end) : QJsonValue(QJsonValue::Null));
    const QString location = m_program.location(end);
    o.insert(QStringLiteral("end_location"),
             location.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(location));
    o.insert(QStringLiteral("module_time_ms"), double(m.timeMs()));
    o.insert(QStringLiteral("instructions"), double(m_run.instructions()));
    o.insert(QStringLiteral("pc"), m.programCounter());
    o.insert(QStringLiteral("state"), QLatin1String(stateName(m.state())));
    o.insert(QStringLiteral("waiting"), m.waiting());
    o.insert(QStringLiteral("a"), r.A);
    o.insert(QStringLiteral("x"), r.X);
    QJsonObject flags;
    for (const FlagName& f : Flags)
        flags.insert(QLatin1String(f.name), bool(r.Errors & f.bit));
    o.insert(QStringLiteral("error_flags"), flags);
    QJsonArray axes;
    for (int axis = 0; axis < Sim::AxisCount; ++axis) {
        QJsonObject a;
        a.insert(QStringLiteral("axis"), axis);
        a.insert(QStringLiteral("position"), m.axisParameter(axis, Sim::AxisPar::ActualPosition));
        a.insert(QStringLiteral("velocity"), m.axisParameter(axis, Sim::AxisPar::ActualVelocity));
        a.insert(QStringLiteral("reference_switch"),
                 m.axisParameter(axis, Sim::AxisPar::ReferenceSwitch) != 0);
        a.insert(QStringLiteral("left_limit_switch"),
                 m.axisParameter(axis, Sim::AxisPar::LeftLimitSwitch) != 0);
        a.insert(QStringLiteral("right_limit_switch"),
                 m.axisParameter(axis, Sim::AxisPar::RightLimitSwitch) != 0);
        axes.append(a);
    }
    o.insert(QStringLiteral("axes"), axes);
    if (stats) {
        QJsonObject s;
        s.insert(QStringLiteral("instructions"), double(m_run.instructions()));
        s.insert(QStringLiteral("module_time_ms"), double(m.timeMs()));
        s.insert(QStringLiteral("wall_time_s"), m_run.wallSeconds());
        s.insert(QStringLiteral("cpu_time_s"), m_run.cpuSeconds());
        s.insert(QStringLiteral("instructions_per_second"),
                 qRound64(perSecond(m_run.instructions(), m_run.wallSeconds())));
        o.insert(QStringLiteral("stats"), s);
    }
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

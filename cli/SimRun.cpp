#include "SimRun.h"

#include "Command.h"
#include "ModuleCommands.h"
#include "ProgramTransfer.h"
#include "StopSignals.h"

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>

namespace {

constexpr unsigned char ModuleAddress = 1;
constexpr unsigned char Trailer = 12;
// At most 2.6 million instructions, a few tens of milliseconds of wall time.
constexpr int64_t SliceMs = 65536;

} // namespace

SimRun::SimRun()
{
    // The clock is ours to drive: requests let no time pass.
    m_connection.setQuantumMs(0);
}

bool SimRun::download(const QList<TInstruction>& program, QString* error)
{
    QList<TInstruction> list = program;
    ProgramTransfer transfer(&m_connection);
    transfer.SetInstructionList(&list);
    if (transfer.Download(ModuleAddress))
        return true;
    *error = transfer.FailureReason();
    return false;
}

bool SimRun::run(int64_t timeLimitMs, uint64_t stepLimit, QString* error)
{
    Command reply;
    m_connection.doDirectRequest(
        new Command(ModuleAddress, ModuleCommand::ApplRun, 0, 0, 0, false, Trailer), &reply);
    if (!reply.isValid() || reply.status() != ReplyStatus::Ok) {
        *error = QStringLiteral("the module did not start the program (status %1)").arg(reply.status());
        return false;
    }

    VirtualModule& m = module();
    const uint64_t before = m.executedInstructions();
    const uint64_t limit = stepLimit > UINT64_MAX - before ? UINT64_MAX : before + stepLimit;
    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpu = std::clock();
    // The clock runs in slices so that a signal is noticed within a few milliseconds of wall
    // time even in a tight loop. Slices end on whole milliseconds (or where the run ends), so
    // the result is the one of a single long call.
    while (m.state() == VirtualModule::Running && m.executedInstructions() < limit
           && m.timeMs() < timeLimitMs) {
        if ((m_signal = StopSignals::caught()) != 0)
            break;
        m.runFor(std::min(SliceMs, timeLimitMs - m.timeMs()), limit);
    }
    m_cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    m_wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    m_instructions = m.executedInstructions() - before;

    if (m_signal != 0)
        m_result = Result::Interrupted;
    else if (m.state() == VirtualModule::Running)
        m_result = m_instructions >= stepLimit ? Result::StepLimit : Result::TimeLimit;
    else if (m.endCause() == VirtualModule::EndCause::CallStackOverflow
             || m.endCause() == VirtualModule::EndCause::ReturnWithoutCall)
        m_result = Result::Fault;
    else
        m_result = Result::Ended;
    return true;
}

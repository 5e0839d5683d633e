#include "VirtualModule.h"

#include "Globals.h"
#include "InstructionDecoder.h"
#include "ModuleCommands.h"

#include <algorithm>
#include <iterator>

using namespace Sim;

namespace {

constexpr int StatusProgramCounter = 1;
constexpr int StatusA = 2;
constexpr int StatusX = 3;

enum BreakpointType { SetBreakpoint, DeleteBreakpoint, DeleteAll, MaxBreakpointsQuery };

bool isFlowControl(uint8_t opcode)
{
    switch (opcode) {
    case Opcode::JA: case Opcode::JC: case Opcode::CSUB: case Opcode::RSUB: case Opcode::WAIT:
    case Opcode::STOP: case Opcode::VECT: case Opcode::RETI: case Opcode::RST: case Opcode::DJNZ:
    case Opcode::CALL:
        return true;
    default:
        return false;
    }
}

// Why the decoder refused a word sent directly: an operation it does not know is a wrong type,
// anything else a variable number out of range.
uint8_t refusal(uint8_t opcode, int type)
{
    constexpr int Load = 9, Swap = 10, Comp = 11;
    switch (opcode) {
    case Opcode::CALC:
        return type <= Load ? ReplyStatus::InvalidValue : ReplyStatus::WrongType;
    case Opcode::CALCV:
        return (type <= Load || type == Comp) ? ReplyStatus::InvalidValue : ReplyStatus::WrongType;
    case Opcode::CALCX: case Opcode::CALCVV: case Opcode::CALCVA: case Opcode::CALCAV:
    case Opcode::CALCVX: case Opcode::CALCXV:
        return (type <= Swap || type == Comp) ? ReplyStatus::InvalidValue : ReplyStatus::WrongType;
    default:
        return ReplyStatus::WrongType;
    }
}

TModuleReply reply(uint8_t status, int32_t value = 0)
{
    TModuleReply r;
    r.Status = status;
    r.Value = value;
    return r;
}

} // namespace

VirtualModule::VirtualModule()
{
    setDirectModeCommands(QStringList());
    decodeProgram();
}

void VirtualModule::setDirectModeCommands(const QStringList& opcodes)
{
    m_directAllowed.fill(opcodes.isEmpty());
    for (const QString& text : opcodes) {
        bool ok = false;
        const int opcode = text.toInt(&ok);
        if (ok && opcode >= 0 && opcode < int(m_directAllowed.size()))
            m_directAllowed[size_t(opcode)] = true;
    }
}

uint32_t VirtualModule::statusWord() const
{
    return (uint32_t(m_interp.pc()) & 0xFFFFu) | (m_interp.waiting() ? 1u << 16 : 0u)
        | (uint32_t(m_state) << 24);
}

int32_t VirtualModule::axisParameter(int axis, int number) const
{
    if (axis < 0 || axis >= AxisCount)
        return 0;
    return m_periph.axis(axis).parameter(number);
}

TModuleReply VirtualModule::request(const TModuleRequest& request)
{
    if (!request.ChecksumValid)
        return reply(ReplyStatus::WrongChecksum);
    switch (request.Command) {
    case ModuleCommand::DownloadStart:
        return downloadStart();
    case ModuleCommand::DownloadEnd:
        if (m_download) {
            m_download = false;
            decodeProgram();
        }
        return reply(ReplyStatus::Ok);
    case ModuleCommand::ReadMem:
        return readMem(request.Value);
    case ModuleCommand::ApplStop:
        if (m_state == Running)
            m_state = Halted;
        return reply(ReplyStatus::Ok);
    case ModuleCommand::ApplRun:
        return run();
    case ModuleCommand::ApplStep:
        return step();
    case ModuleCommand::ApplReset:
        reset();
        return reply(ReplyStatus::Ok);
    case ModuleCommand::GetStatus:
        switch (request.Type) {
        case StatusProgramCounter: return reply(ReplyStatus::Ok, int32_t(statusWord()));
        case StatusA: return reply(ReplyStatus::Ok, registers().A);
        case StatusX: return reply(ReplyStatus::Ok, registers().X);
        default: return reply(ReplyStatus::WrongType);
        }
    case ModuleCommand::Breakpoint:
        return breakpoint(request.Type, request.Value);
    default:
        break;
    }
    if (m_download)
        return storeWord(request);
    return direct(request);
}

TModuleReply VirtualModule::downloadStart()
{
    if (m_writeProtected)
        return reply(ReplyStatus::WriteProtected);
    if (m_state == Running || m_periph.anyMoving())
        return reply(ReplyStatus::NotPossibleNow);
    m_download = true;
    m_downloadNext = 0;
    m_memory.fill(Word());
    m_breakpoint.fill(false);
    m_breakpointCount = 0;
    decodeProgram();
    m_state = Stopped;
    m_ended = false;
    m_resumeAt = -1;
    clearEnd();
    m_interp.restart();
    m_interp.setPc(0);
    return reply(ReplyStatus::Ok);
}

TModuleReply VirtualModule::storeWord(const TModuleRequest& request)
{
    if (m_downloadNext >= ProgramCapacity)
        return reply(ReplyStatus::InvalidValue);
    // The stored word keeps the low 8 bits of the type, as a frame carries it.
    Word& w = m_memory[size_t(m_downloadNext++)];
    w.Opcode = request.Command;
    w.Type = uint8_t(request.Type);
    w.Motor = request.MotorBank;
    w.Value = request.Value;
    return reply(ReplyStatus::Stored);
}

TModuleReply VirtualModule::readMem(int32_t address) const
{
    TModuleReply r = reply(ReplyStatus::Ok);
    r.IsWord = true;
    if (address >= 0 && address < ProgramCapacity) {
        const Word& w = m_memory[size_t(address)];
        r.Opcode = w.Opcode;
        r.Type = w.Type;
        r.Motor = w.Motor;
        r.Value = w.Value;
    }
    return r;
}

void VirtualModule::decodeProgram()
{
    m_length = ProgramCapacity;
    for (int i = 0; i < ProgramCapacity; ++i) {
        const Word& w = m_memory[size_t(i)];
        if (w.Opcode == 0 && m_length == ProgramCapacity)
            m_length = i;
        m_plain[size_t(i)] = DecodeWord(w.Opcode, w.Type, w.Motor, w.Value);
    }
    m_plain[ProgramCapacity] = TDecodedWord();
    m_code = m_plain;
    for (int i = 0; i < ProgramCapacity; ++i) {
        if (m_breakpoint[size_t(i)])
            setBreakpointWord(i);
    }
}

void VirtualModule::trace(int address, uint64_t executed)
{
    if (!m_trace || executed == 0)
        return;
    TTraceStep step;
    step.TimeMs = timeMs();
    step.Address = address;
    if (address < ProgramCapacity) {
        const Word& w = m_memory[size_t(address)];
        step.Opcode = w.Opcode;
        step.Type = w.Type;
        step.Motor = w.Motor;
        step.Value = w.Value;
    }
    step.A = registers().A;
    step.X = registers().X;
    m_trace(step);
}

void VirtualModule::setBreakpointWord(int address)
{
    m_code[size_t(address)].Op = OpBreak;
}

void VirtualModule::restartIfEnded()
{
    if (m_state == Stopped && m_ended) {
        m_interp.restart();
        m_interp.setPc(0);
        m_ended = false;
        clearEnd();
    }
}

TModuleReply VirtualModule::run()
{
    if (m_download)
        return reply(ReplyStatus::NotPossibleNow);
    if (m_state == Halted)
        m_resumeAt = m_interp.pc();
    restartIfEnded();
    m_state = Running;
    return reply(ReplyStatus::Ok);
}

TModuleReply VirtualModule::step()
{
    if (m_download)
        return reply(ReplyStatus::NotPossibleNow);
    restartIfEnded();
    m_resumeAt = -1;
    if (m_interp.waiting()) {
        m_interp.resumeWait(m_slot);
        m_state = Halted;
        return reply(ReplyStatus::Ok);
    }
    Interpreter::Exit exit;
    const int address = m_interp.pc();
    const int64_t used = m_interp.run(m_plain.data(), m_plain.data(), 1, false, m_slot, exit);
    m_executed += uint64_t(used);
    trace(address, uint64_t(used));
    m_state = Halted;
    finishRun(exit);
    return reply(ReplyStatus::Ok);
}

void VirtualModule::reset()
{
    m_interp.reset();
    m_periph.stopMotors();
    m_state = Stopped;
    m_ended = false;
    m_resumeAt = -1;
    clearEnd();
}

void VirtualModule::clearEnd()
{
    m_endCause = EndCause::None;
    m_endAddress = -1;
}

void VirtualModule::finishRun(Interpreter::Exit exit)
{
    switch (exit) {
    case Interpreter::Exit::End: {
        // The word the counter is on says how the program ended.
        const int pc = m_interp.pc();
        const uint8_t op = m_plain[size_t(pc)].Op;
        m_endAddress = pc;
        m_endCause = op == OpStop                   ? EndCause::Stop
                     : op == OpCsub || op == OpCall ? EndCause::CallStackOverflow
                     : op == OpRsub                 ? EndCause::ReturnWithoutCall
                                                    : EndCause::EndMarker;
        // The counter shows the end of the program, however it ended.
        if (op != OpEnd)
            m_interp.setPc(m_length);
        m_interp.restart();
        m_state = Stopped;
        m_ended = true;
        break;
    }
    case Interpreter::Exit::Breakpoint:
        m_state = Halted;
        break;
    default:
        break;
    }
}

TModuleReply VirtualModule::breakpoint(int type, int32_t address)
{
    const bool validAddress = address >= 0 && address < ProgramCapacity;
    switch (type) {
    case SetBreakpoint:
        if (!validAddress)
            return reply(ReplyStatus::InvalidValue);
        if (!m_breakpoint[size_t(address)]) {
            if (m_breakpointCount >= MaxBreakpoints)
                return reply(ReplyStatus::InvalidValue);
            m_breakpoint[size_t(address)] = true;
            ++m_breakpointCount;
            setBreakpointWord(address);
        }
        return reply(ReplyStatus::Ok, address);
    case DeleteBreakpoint:
        if (!validAddress)
            return reply(ReplyStatus::InvalidValue);
        if (m_breakpoint[size_t(address)]) {
            m_breakpoint[size_t(address)] = false;
            --m_breakpointCount;
            m_code[size_t(address)] = m_plain[size_t(address)];
        }
        return reply(ReplyStatus::Ok, address);
    case DeleteAll:
        m_breakpoint.fill(false);
        m_breakpointCount = 0;
        m_code = m_plain;
        return reply(ReplyStatus::Ok);
    case MaxBreakpointsQuery:
        return reply(ReplyStatus::Ok, MaxBreakpoints);
    default:
        return reply(ReplyStatus::WrongType);
    }
}

TModuleReply VirtualModule::direct(const TModuleRequest& request)
{
    const uint8_t opcode = request.Command;
    if (opcode == 0 || !FindInstructionByOpcode(opcode) || isFlowControl(opcode))
        return reply(ReplyStatus::InvalidCommand);
    if (!m_directAllowed[opcode])
        return reply(ReplyStatus::NotAvailable);
    if (request.Type > 255)
        return reply(ReplyStatus::WrongType);
    const TDecodedWord w = DecodeWord(opcode, uint8_t(request.Type), request.MotorBank, request.Value);
    int32_t value = 0;
    uint8_t status;
    if (w.Op == OpSlow) {
        status = m_periph.execute(w, m_interp.registers(), value, true);
        m_periph.takePlanChange();
        notifySegment();
    } else if (w.Op == OpNop) {
        status = refusal(opcode, w.Type);
    } else {
        status = m_interp.executeDirect(w, value);
    }
    return reply(status, status == ReplyStatus::Ok ? value : 0);
}

void VirtualModule::powerCycle()
{
    m_download = false;
    m_interp.reset();
    m_periph.powerOn(m_interp.registers());
    m_breakpoint.fill(false);
    m_breakpointCount = 0;
    decodeProgram();
    m_state = Stopped;
    m_ended = false;
    m_resumeAt = -1;
    clearEnd();
    notifySegment();
    if (m_periph.autoStart())
        m_state = Running;
}

void VirtualModule::advance(int64_t ms)
{
    pass(ms, UINT64_MAX, false);
}

void VirtualModule::runFor(int64_t ms, uint64_t instructionLimit)
{
    pass(ms, instructionLimit, true);
}

// Time runs in segments that end where something outside the program can change: an axis
// event (a phase of its motion ends, a switch changes, a move arrives), a timer expiry, a WAIT
// deadline. Between them the interpreter runs undisturbed, and the axes compute their state
// at whatever millisecond an instruction reads it.
void VirtualModule::pass(int64_t ms, uint64_t instructionLimit, bool untilStopped)
{
    if (ms <= 0)
        return;
    // Thousands of years of module time at most per call, so the slot count cannot overflow.
    constexpr int64_t MaxMs = int64_t(1) << 50;
    const int64_t end = m_slot + std::min(ms, MaxMs) * InstructionsPerMs;
    while (m_slot < end) {
        if (m_executed >= instructionLimit || (untilStopped && m_state != Running))
            return;
        updateTimers();
        const int64_t next = nextEvent(end);
        if (m_state == Running)
            m_interp.takeInterrupt();
        if (m_state == Running && !m_interp.waiting()) {
            Interpreter::Exit exit;
            const int address = m_interp.pc();
            const bool resume = m_resumeAt == address;
            const int64_t budget = int64_t(std::min<uint64_t>(
                uint64_t(m_trace ? 1 : next - m_slot), instructionLimit - m_executed));
            const int64_t used = m_interp.run(m_code.data(), m_plain.data(), budget, resume,
                                              m_slot, exit);
            m_resumeAt = -1;
            m_slot += used;
            m_executed += uint64_t(used);
            trace(address, uint64_t(used));
            finishRun(exit);
            notifySegment();
            // The rest of the segment passes without a program, unless the owner wants to
            // see where it stopped.
            if (m_state != Running && !untilStopped)
                m_slot = next;
        } else {
            m_slot = next;
        }
        catchUp();
    }
}

int64_t VirtualModule::nextEvent(int64_t end) const
{
    int64_t next = end;
    const int64_t motion = m_periph.nextEventMs();
    if (motion >= 0)
        next = std::min(next, motion * InstructionsPerMs);
    if (m_state == Running) {
        for (int i = 0; i < TimerCount; ++i) {
            if (m_timerNext[i] >= 0 && m_interp.irqEnabled(Irq::Timer0 + i))
                next = std::min(next, m_timerNext[i] * InstructionsPerMs);
        }
        if (m_interp.waitIsTimed())
            next = std::min(next, m_interp.waitDeadline());
    }
    return std::max(next, m_slot + 1);
}

// Timers count whole milliseconds from the one their period was set in.
void VirtualModule::updateTimers()
{
    const int64_t now = timeMs();
    for (int i = 0; i < TimerCount; ++i) {
        const int64_t period = m_periph.timerPeriod(i);
        if (m_periph.timerSettings(i) != m_timerSettings[i]) {
            m_timerSettings[i] = m_periph.timerSettings(i);
            m_timerNext[i] = period > 0 ? m_periph.timerSetMs(i) + period : -1;
        }
        if (m_timerNext[i] >= 0 && now >= m_timerNext[i]) {
            m_interp.raise(Irq::Timer0 + i);
            m_timerNext[i] += ((now - m_timerNext[i]) / period + 1) * period;
        }
    }
}

void VirtualModule::setDigitalInput(int port, bool on)
{
    if (port < 0 || port >= DigitalInputCount)
        return;
    const bool before = m_periph.digitalInput(port);
    m_periph.setDigitalInput(port, on);
    if (before != on)
        m_interp.raise(Irq::Input0 + port);
}

void VirtualModule::raiseAxisEvents()
{
    for (int axis = 0; axis < AxisCount; ++axis) {
        const uint8_t events = m_periph.takeAxisEvents(axis);
        if (events & VirtualAxis::Reached)
            m_interp.raise(Irq::PositionReached0 + axis);
        if (events & VirtualAxis::LeftSwitchOn)
            m_interp.raise(Irq::StopLeft0 + 2 * axis);
        if (events & VirtualAxis::RightSwitchOn)
            m_interp.raise(Irq::StopRight0 + 2 * axis);
    }
}

void VirtualModule::notifySegment()
{
    if (!m_segmentHook)
        return;
    const uint64_t changes = m_periph.motionChanges();
    if (changes != m_motionChanges) {
        m_motionChanges = changes;
        m_segmentHook(m_periph.nowMs());
    }
}

void VirtualModule::catchUp()
{
    m_periph.advanceTo(timeMs());
    raiseAxisEvents();
    notifySegment();
    updateTimers();
    if (m_state == Running && m_interp.waiting())
        m_interp.resumeWait(m_slot);
}

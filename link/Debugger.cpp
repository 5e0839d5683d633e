#include "Debugger.h"

#include "CDebuggerError.h"
#include "CommandHandler.h"
#include "ModuleCommands.h"

#include <QCoreApplication>

namespace {

// The status word: the program counter, a WAIT that holds, and the program's state.
int CounterOf(const Command& status) { return int(uint32_t(status.value()) & 0xFFFFu); }
bool WaitingIn(const Command& status) { return ((uint32_t(status.value()) >> 16) & 0xFFu) != 0; }
unsigned StateOf(const Command& status) { return (uint32_t(status.value()) >> 24) & 0xFFu; }

constexpr unsigned StateStopped = 0;
constexpr unsigned StateRunning = 1;

enum StatusType : unsigned short { StatusWord = 1, StatusA = 2, StatusX = 3 };
enum BreakpointType : unsigned short { SetOne = 0, DeleteOne = 1, DeleteAll = 2, Limit = 3 };

} // namespace

Debugger::Debugger(QObject* parent) : QObject(parent)
{
    AnimationTimer.setSingleShot(true);
    connect(&AnimationTimer, &QTimer::timeout, this, &Debugger::AnimateNextStep);
}

void Debugger::SetProgram(QList<TInstruction>* program)
{
    Program = program;
    Marks.SetProgram(program);
}

void Debugger::SetHandlers(CommandHandler* control, CommandHandler* stepping)
{
    Control = control;
    Stepping = stepping;
}

int Debugger::ProgramSize() const
{
    return Program != nullptr ? Program->size() : 0;
}

int Debugger::AddressToFileIndex(int address) const
{
    return address >= 0 && address < ProgramSize() ? Program->at(address).FileIndex : -1;
}

int Debugger::AddressToLineNumber(int address) const
{
    return address >= 0 && address < ProgramSize() ? Program->at(address).Line : -1;
}

Command Debugger::Send(CommandHandler* handler, unsigned char command, unsigned short type, int value)
{
    Command reply;
    if (handler != nullptr)
        handler->doDirectRequest(new Command(Address, command, type, 0, value, false, 12), &reply);
    return reply;
}

Command Debugger::SendControl(unsigned char command, unsigned short type, int value)
{
    return Send(Control, command, type, value);
}

void Debugger::ReadBreakpointLimit()
{
    const Command reply = SendControl(ModuleCommand::Breakpoint, Limit);
    if (!reply.isValid())
        throw CDebuggerError(QStringLiteral("Cannot get maximum number of breakpoints."));
    Marks.SetMaximum(reply.value());
}

void Debugger::Start()
{
    if (!SendControl(ModuleCommand::ApplReset).isValid()
        || !SendControl(ModuleCommand::Breakpoint, DeleteAll).isValid())
        throw CDebuggerError(QStringLiteral("Communication error."));
    // The program may have been assembled again since the last start.
    Marks.IndexLines();
    for (int address : Marks.TakeForModule())
        SendControl(ModuleCommand::Breakpoint, SetOne, address);
    Active = true;
    Counter = -1;
    Running = false;
}

void Debugger::SwitchOff()
{
    SendControl(ModuleCommand::Breakpoint, DeleteAll);
    AnimationTimer.stop();
    Active = false;
    Running = false;
}

void Debugger::ShowAddress(int address)
{
    emit ShowLine(AddressToFileIndex(address), AddressToLineNumber(address));
}

void Debugger::ReadValues(CommandHandler* handler)
{
    const int a = Send(handler, ModuleCommand::GetStatus, StatusA).value();
    const int x = Send(handler, ModuleCommand::GetStatus, StatusX).value();
    emit ValuesRead(a, x);
}

void Debugger::EndOfProgram(CommandHandler* handler)
{
    Counter = -1;
    Send(handler, ModuleCommand::ApplReset, 0);
    emit ClearMark();
    emit ProgramEnded();
}

void Debugger::DoSingleStep()
{
    if (!Active)
        return;
    CommandHandler* handler = Stepping;
    const int previous = Counter;
    Send(handler, ModuleCommand::ApplStep, 0);
    const Command status = Send(handler, ModuleCommand::GetStatus, StatusWord);
    if (!status.isValid()) {
        Running = false;
        return;
    }
    Counter = CounterOf(status);
    ReadValues(handler);
    emit WaitRead(WaitingIn(status));
    if (Counter >= ProgramSize() || StateOf(status) == StateStopped) {
        Running = false;
        EndOfProgram(handler);
        return;
    }
    if (Counter != previous)
        ShowAddress(Counter);
    if (Marks.IsFlagged(Counter))
        Running = false;
    if (StopRequested) {
        Running = false;
        StopRequested = false;
        Send(handler, ModuleCommand::ApplReset, 0);
        Counter = -1;
        emit ClearMark();
    }
}

void Debugger::Animate()
{
    emit RunActions(true);
    StopRequested = false;
    Running = true;
    PauseRequested = false;
    AnimateNextStep();
}

void Debugger::AnimateNextStep()
{
    if (!Active || !Running)
        return;
    DoSingleStep();
    if (Active) {
        if (Running && !PauseRequested)
            AnimationTimer.start(AnimationDelay);
        else
            emit RunActions(false);
    }
    if (PauseRequested) {
        Running = false;
        PauseRequested = false;
    }
}

void Debugger::Pause()
{
    PauseRequested = true;
    emit RunActions(false);
}

void Debugger::Run()
{
    emit RunActions(true);
    emit ClearMark();
    SendControl(ModuleCommand::ApplRun);
    StopRequested = false;
    Running = true;
    PauseRequested = false;

    // Poll until the module no longer runs; the user's Pause, Stop & Reset and switching off
    // arrive while events are processed.
    bool stop = false;
    for (;;) {
        const Command status = SendControl(ModuleCommand::GetStatus, StatusWord);
        if (StateOf(status) != StateRunning)
            Running = false;
        if (!status.isValid()) {
            Running = false;
            return;
        }
        QCoreApplication::processEvents();
        if (!Running) {
            stop = StopRequested || !Active;
            break;
        }
        if (StopRequested || !Active) {
            stop = true;
            break;
        }
        if (PauseRequested)
            SendControl(ModuleCommand::ApplStop);
    }

    if (stop) {
        StopRequested = false;
        Counter = -1;
        QCoreApplication::processEvents();
        SendControl(ModuleCommand::ApplReset);
        QCoreApplication::processEvents();
    } else {
        QCoreApplication::processEvents();
        const Command status = SendControl(ModuleCommand::GetStatus, StatusWord);
        QCoreApplication::processEvents();
        Counter = CounterOf(status);
        if (Counter >= ProgramSize()) {
            EndOfProgram(Control);
        } else {
            ShowAddress(Counter);
            ReadValues(Control);
        }
    }
    if (Active)
        emit RunActions(false);
}

void Debugger::StopReset()
{
    if (Running) {
        StopRequested = true;
    } else {
        SendControl(ModuleCommand::ApplReset);
        StopRequested = false;
    }
    Counter = -1;
    PauseRequested = false;
    emit ClearMark();
}

Debugger::Toggle Debugger::ToggleBreakpoint(int fileIndex, int line)
{
    if (!Active)
        return Toggle::NoInstruction;
    const int address = Marks.AddressOfLine(fileIndex, line);
    if (address < 0)
        return Toggle::NoInstruction;
    if (Marks.IsFlagged(address)) {
        Marks.Unflag(address);
        SendControl(ModuleCommand::Breakpoint, DeleteOne, address);
        return Toggle::Cleared;
    }
    if (!Marks.Flag(address))
        return Toggle::LimitReached;
    SendControl(ModuleCommand::Breakpoint, SetOne, address);
    return Toggle::Set;
}

void Debugger::RemoveAllBreakpoints()
{
    Marks.UnflagAll();
    SendControl(ModuleCommand::Breakpoint, DeleteAll);
}

void Debugger::BreakpointState(int fileIndex, int line, bool& isCode, bool& isBreakpoint) const
{
    isCode = false;
    isBreakpoint = false;
    if (!Active)
        return;
    const int address = Marks.AddressOfLine(fileIndex, line);
    if (address < 0)
        return;
    isCode = true;
    isBreakpoint = Marks.IsFlagged(address);
}

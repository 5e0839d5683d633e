#pragma once

#include "BreakpointList.h"
#include "Command.h"
#include "TInstruction.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class CommandHandler;

// The source-level debugger on a module: single steps, animation and runs to breakpoints of the
// program the module holds, and the breakpoints set in it. It executes nothing itself; it drives
// the module and says through its signals what the workbench is to show. It has no widget.
//
// Switching on comes in two halves around the workbench's own assembly and download:
// ReadBreakpointLimit(), then Start(); both throw CDebuggerError. Run() polls the module and
// processes pending events between polls, so Pause(), StopReset() and SwitchOff() arrive from
// the user while it runs; Animate() steps from a single-shot timer.
class Debugger : public QObject
{
    Q_OBJECT

public:
    explicit Debugger(QObject* parent = nullptr);

    // The program the module holds, with its source lines and breakpoint flags; not owned.
    void SetProgram(QList<TInstruction>* program);
    // Requests carry this address. Control requests go to one handler; single steps take the
    // module's connection, which may be another.
    void SetModuleAddress(unsigned char address) { Address = address; }
    void SetHandlers(CommandHandler* control, CommandHandler* stepping);
    void SetAnimationDelay(int ms) { AnimationDelay = ms; }

    bool IsActive() const { return Active; }
    bool IsRunning() const { return Running; }
    int ProgramCounter() const { return Counter; }
    const BreakpointList& Breakpoints() const { return Marks; }

    // The instruction's page and line; -1 when the address is outside the program.
    int AddressToFileIndex(int address) const;
    int AddressToLineNumber(int address) const;

    void ReadBreakpointLimit();
    void Start();
    void SwitchOff();

    void DoSingleStep();
    void Animate();
    void AnimateNextStep();
    void Pause();
    void Run();
    void StopReset();

    enum class Toggle { NoInstruction, Set, Cleared, LimitReached };
    // A click on a line of a page: ignored while the debugger is off or the line holds no
    // instruction; otherwise the line's first instruction changes its breakpoint at once.
    Toggle ToggleBreakpoint(int fileIndex, int line);
    void RemoveAllBreakpoints();
    // What the margin shows for a line: nothing while the debugger is off.
    void BreakpointState(int fileIndex, int line, bool& isCode, bool& isBreakpoint) const;

signals:
    // Mark the executing line: the page (-1 for a file read from disk) and its line.
    void ShowLine(int fileIndex, int line);
    // Remove the executing-line mark of the current page.
    void ClearMark();
    void ValuesRead(int a, int x);
    void WaitRead(bool waiting);
    void ProgramEnded();
    // The stepping actions as for a run (true: only Pause available) or for a pause.
    void RunActions(bool running);

private:
    Command Send(CommandHandler* handler, unsigned char command, unsigned short type, int value = 0);
    Command SendControl(unsigned char command, unsigned short type = 0, int value = 0);
    void ShowAddress(int address);
    void ReadValues(CommandHandler* handler);
    void EndOfProgram(CommandHandler* handler);
    int ProgramSize() const;

    QList<TInstruction>* Program = nullptr;
    BreakpointList Marks;
    QPointer<CommandHandler> Control;
    QPointer<CommandHandler> Stepping;
    QTimer AnimationTimer;
    unsigned char Address = 0;
    int AnimationDelay = 10;
    bool Active = false;
    int Counter = -1;
    bool Running = false;
    bool PauseRequested = false;
    bool StopRequested = false;
};

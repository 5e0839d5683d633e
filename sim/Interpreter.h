#pragma once

#include "Peripherals.h"
#include "SimParameters.h"
#include "TDecodedWord.h"
#include "TRegisters.h"

#include <cstdint>

// Executes program words: registers, flags, jumps, the call stack, WAIT and interrupts. Time is
// counted in instruction slots of 25 microseconds; the caller says how many a run may use.
class Interpreter
{
public:
    enum class Exit {
        Budget,     // used every slot it was given
        Replan,     // something changed that the clock must plan around (motion, timers, waits)
        Breakpoint, // halted before a word with a breakpoint
        End,        // STOP, an end marker, or a call stack fault
    };

    explicit Interpreter(Peripherals& peripherals);

    // Clears registers, flags, call stack, wait and interrupt state; the counter goes to 0.
    void reset();
    // Forgets the running context only (call stack, wait, interrupt in service), for a restart.
    void restart();

    // Runs from the counter over code (breakpoints patched in); when skipBreakpoint is set the
    // first word comes from plain instead, so a halted program resumes with that word.
    // slot is the module time of the first slot. Returns the number of slots used.
    int64_t run(const TDecodedWord* code, const TDecodedWord* plain, int64_t budget,
                bool skipBreakpoint, int64_t slot, Exit& exit);

    // Re-checks a pending WAIT at the given slot; true when it ended (the counter moved on).
    bool resumeWait(int64_t slot);

    // Enters the handler of a pending, enabled timer interrupt when it may; true when it did.
    bool takeInterrupt();
    // An interrupt source fired; it becomes pending when it is enabled.
    void raise(int irq);
    bool irqEnabled(int irq) const;

    // Executes a register instruction sent in direct mode; returns the reply status.
    uint8_t executeDirect(const TDecodedWord& w, int32_t& value);

    TRegisters& registers() { return m_regs; }
    const TRegisters& registers() const { return m_regs; }
    int pc() const { return int(m_pc); }
    void setPc(int pc) { m_pc = uint32_t(pc); }
    bool waiting() const { return m_waiting; }
    bool waitIsTimed() const { return m_waiting && m_waitDeadline >= 0; }
    int64_t waitDeadline() const { return m_waitDeadline; }
    bool inInterrupt() const { return m_inIsr; }
    int callDepth() const { return m_sp; }

private:
    struct Context
    {
        uint32_t Pc = 0;
        int32_t A = 0, X = 0, FlagLeft = 0, FlagRight = 0;
        bool Waiting = false;
        uint8_t WaitEvent = 0, WaitMotor = 0;
        int64_t WaitDeadline = -1;
    };

    bool startWait(const TDecodedWord& w, int64_t slot);
    bool waitHolds() const;
    void calcRegister(const TDecodedWord& w);
    void returnFromInterrupt();

    Peripherals& m_periph;
    TRegisters m_regs;
    uint32_t m_pc = 0;
    uint32_t m_stack[Sim::CallStackDepth] = {};
    int m_sp = 0;

    bool m_waiting = false;
    uint8_t m_waitEvent = 0;
    uint8_t m_waitMotor = 0;
    int64_t m_waitDeadline = -1;   // slot at which the WAIT ends (TICKS) or times out; -1 none

    uint64_t m_irqEnabled = 0;
    uint64_t m_irqPending = 0;
    bool m_irqGlobal = false;
    int32_t m_vector[Sim::Irq::Last + 1];
    bool m_inIsr = false;
    Context m_saved;
};

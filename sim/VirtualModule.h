#pragma once

#include "Interpreter.h"
#include "Peripherals.h"
#include "SimParameters.h"
#include "TDecodedWord.h"
#include "TModuleReply.h"
#include "TModuleRequest.h"
#include "TTraceStep.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

// A KROL module inside the process. It answers the module protocol through request(), runs the
// stored program in module time and never sleeps: time passes only when advance() is called.
class VirtualModule
{
public:
    enum State { Stopped = 0, Running = 1, Halted = 2 };
    // What ended the program last: its own end, or a fault of the call stack.
    enum class EndCause { None, Stop, EndMarker, CallStackOverflow, ReturnWithoutCall };

    VirtualModule();

    TModuleReply request(const TModuleRequest& request);

    // Lets ms milliseconds of module time pass: the program runs 40 instructions per ms,
    // axes move, WAITs and timers expire.
    void advance(int64_t ms);
    // As advance(), for an owner that drives the clock as fast as it can and wants to see where
    // the program stopped: returns early, the clock where the program was, as soon as the
    // program is no longer running or executedInstructions() reaches instructionLimit.
    void runFor(int64_t ms, uint64_t instructionLimit);

    // Switches the module off and on: RAM state is lost, stored parameters come back, and with
    // auto start on the stored program starts.
    void powerCycle();

    // The module's write protection switch: DownloadStart replies 8 while it is on.
    void setWriteProtected(bool on) { m_writeProtected = on; }
    bool writeProtected() const { return m_writeProtected; }

    // Opcodes (decimal texts) that direct mode accepts, as a module description lists them.
    // An empty list accepts every instruction.
    void setDirectModeCommands(const QStringList& opcodes);

    // Inputs of the module's world; every edge of a digital input raises its interrupt.
    void setDigitalInput(int port, bool on);

    // Called after every executed instruction (runs and steps); the module then runs one
    // instruction per segment, so tracing costs nothing while no hook is set.
    void setTraceHook(std::function<void(const TTraceStep&)> hook) { m_trace = std::move(hook); }
    void setAnalogInput(int port, int value) { m_periph.setAnalogInput(port, value); }

    // Observing the motion. Between two changes of course every axis follows one closed-form
    // segment (a ramp with constant acceleration, a cruise, a rest), so sampling the axes at
    // each change sees every corner of the motion. The hook is called after every change: a
    // command that starts or alters a motion, the end of a ramp, a cruise or a move, a switch
    // that turns on or off, a limit switch or the reference search stopping an axis. ms is the
    // module millisecond from which the new course runs (axisParameter() reads the state
    // there). Nothing looks for the hook while none is set.
    void setSegmentHook(std::function<void(int64_t ms)> hook) { m_segmentHook = std::move(hook); }
    // The next module millisecond at which an axis changes course by itself; -1 when none will
    // (commands can always change it sooner).
    int64_t nextSegmentMs() const { return m_periph.nextEventMs(); }

    // What a test or the command line inspects.
    int64_t timeMs() const { return m_slot / Sim::InstructionsPerMs; }
    uint64_t executedInstructions() const { return m_executed; }
    uint32_t statusWord() const;
    int programCounter() const { return m_interp.pc(); }
    State state() const { return m_state; }
    EndCause endCause() const { return m_endCause; }
    int endAddress() const { return m_endAddress; }   // the word that ended it, -1 for none
    bool waiting() const { return m_interp.waiting(); }
    bool downloadMode() const { return m_download; }
    int programLength() const { return m_length; }
    int breakpointCount() const { return m_breakpointCount; }
    const TRegisters& registers() const { return m_interp.registers(); }
    int callDepth() const { return m_interp.callDepth(); }
    bool inInterrupt() const { return m_interp.inInterrupt(); }
    int32_t axisParameter(int axis, int number) const;
    int32_t output(int port) const { return m_periph.output(port); }
    int32_t coordinate(int index, int axis) const { return m_periph.coordinate(index, axis); }

private:
    struct Word
    {
        uint8_t Opcode = 0, Type = 0, Motor = 0;
        int32_t Value = 0;
    };

    TModuleReply downloadStart();
    TModuleReply storeWord(const TModuleRequest& request);
    TModuleReply readMem(int32_t address) const;
    TModuleReply run();
    TModuleReply step();
    void reset();
    TModuleReply breakpoint(int type, int32_t address);
    TModuleReply direct(const TModuleRequest& request);

    void decodeProgram();
    void trace(int address, uint64_t executed);
    void setBreakpointWord(int address);
    void restartIfEnded();
    void finishRun(Interpreter::Exit exit);
    void pass(int64_t ms, uint64_t instructionLimit, bool untilStopped);
    void clearEnd();
    void catchUp();
    void raiseAxisEvents();
    void notifySegment();
    void updateTimers();
    int64_t nextEvent(int64_t end) const;

    Peripherals m_periph;
    Interpreter m_interp{m_periph};

    std::array<Word, Sim::ProgramCapacity> m_memory{};
    // Decoded program with one more end marker, so the counter never leaves the array.
    std::array<TDecodedWord, Sim::ProgramCapacity + 1> m_plain{};
    std::array<TDecodedWord, Sim::ProgramCapacity + 1> m_code{};
    std::array<bool, Sim::ProgramCapacity> m_breakpoint{};
    std::array<bool, 256> m_directAllowed{};
    int m_breakpointCount = 0;
    int m_length = 0;
    int m_downloadNext = 0;
    bool m_download = false;
    bool m_writeProtected = false;

    State m_state = Stopped;
    bool m_ended = false;
    int m_resumeAt = -1;           // a halted program resumes here without its breakpoint
    EndCause m_endCause = EndCause::None;
    int m_endAddress = -1;

    int64_t m_slot = 0;            // module time in instruction slots of 25 microseconds
    int64_t m_timerNext[Sim::TimerCount] = {-1, -1, -1};   // millisecond, -1 off
    uint32_t m_timerSettings[Sim::TimerCount] = {};        // the settings seen so far
    uint64_t m_executed = 0;
    std::function<void(const TTraceStep&)> m_trace;
    std::function<void(int64_t)> m_segmentHook;
    uint64_t m_motionChanges = 0;  // seen by the segment hook
};

#include "Interpreter.h"

#include "InstructionDecoder.h"
#include "ModuleCommands.h"

#include <algorithm>
#include <iterator>

using namespace Sim;

namespace {

enum CalcOp { Add, Sub, Mul, Div, Mod, And, Or, Xor, Not, Load, Swap, Comp };

inline int32_t wrapAdd(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }
inline int32_t wrapSub(int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); }
inline int32_t wrapMul(int32_t a, int32_t b) { return int32_t(uint32_t(a) * uint32_t(b)); }

} // namespace

Interpreter::Interpreter(Peripherals& peripherals)
    : m_periph(peripherals)
{
    reset();
}

void Interpreter::reset()
{
    const TRegisters blank;
    m_regs.A = blank.A;
    m_regs.X = blank.X;
    m_regs.FlagLeft = blank.FlagLeft;
    m_regs.FlagRight = blank.FlagRight;
    m_regs.Errors = 0;
    m_pc = 0;
    m_irqEnabled = 0;
    m_irqPending = 0;
    m_irqGlobal = false;
    std::fill(std::begin(m_vector), std::end(m_vector), -1);
    restart();
}

void Interpreter::restart()
{
    m_sp = 0;
    m_waiting = false;
    m_waitDeadline = -1;
    m_inIsr = false;
}

// The hot loop: registers live in locals and go back to m_regs only around the calls that read
// them, so a loop of CALC, COMP, JC and DJNZ never leaves registers or the switch.
int64_t Interpreter::run(const TDecodedWord* code, const TDecodedWord* plain, int64_t budget,
                         bool skipBreakpoint, int64_t slot, Exit& exit)
{
    TRegisters& r = m_regs;
    int32_t a = r.A;
    int32_t x = r.X;
    int32_t fl = r.FlagLeft;
    int32_t fr = r.FlagRight;
    uint32_t pc = m_pc;
    int64_t left = budget;
    const TDecodedWord* w = (skipBreakpoint ? plain : code) + pc;
    exit = Exit::Budget;

#define KROL_SAVE() (r.A = a, r.X = x, r.FlagLeft = fl, r.FlagRight = fr)
#define KROL_LOAD() (a = r.A, x = r.X, fl = r.FlagLeft, fr = r.FlagRight)
#define KROL_JUMP_IF(cond) pc = (cond) ? uint32_t(w->Value) : pc + 1

    while (left > 0) {
        --left;
        switch (w->Op) {
        case OpCalcAdd: a = wrapAdd(a, w->Value); fl = a; fr = 0; ++pc; break;
        case OpCalcSub: a = wrapSub(a, w->Value); fl = a; fr = 0; ++pc; break;
        case OpCalcMul: a = wrapMul(a, w->Value); fl = a; fr = 0; ++pc; break;
        case OpCalcDiv:
        case OpCalcMod:
            if (w->Value == 0)
                r.Errors |= ErrorFlag::EAL;
            else if (w->Value == -1)
                a = w->Op == OpCalcDiv ? wrapSub(0, a) : 0;
            else
                a = w->Op == OpCalcDiv ? a / w->Value : a % w->Value;
            fl = a; fr = 0; ++pc;
            break;
        case OpCalcAnd: a &= w->Value; fl = a; fr = 0; ++pc; break;
        case OpCalcOr: a |= w->Value; fl = a; fr = 0; ++pc; break;
        case OpCalcXor: a ^= w->Value; fl = a; fr = 0; ++pc; break;
        case OpCalcNot: a = ~a; fl = a; fr = 0; ++pc; break;
        case OpCalcLoad: a = w->Value; fl = a; fr = 0; ++pc; break;
        case OpComp: fl = a; fr = w->Value; ++pc; break;
        case OpJa: pc = uint32_t(w->Value); break;
        case OpJcEq: KROL_JUMP_IF(fl == fr); break;
        case OpJcNe: KROL_JUMP_IF(fl != fr); break;
        case OpJcGt: KROL_JUMP_IF(fl > fr); break;
        case OpJcGe: KROL_JUMP_IF(fl >= fr); break;
        case OpJcLt: KROL_JUMP_IF(fl < fr); break;
        case OpJcLe: KROL_JUMP_IF(fl <= fr); break;
        case OpJcError: KROL_JUMP_IF(r.Errors & w->Motor); break;
        case OpDjnz: {
            int32_t& v = r.Vars[w->Type];
            v = wrapSub(v, 1);
            KROL_JUMP_IF(v != 0);
            break;
        }
        case OpCall: {
            KROL_SAVE();
            if (!ConditionHolds(w->Type, r)) {
                ++pc;
                break;
            }
        }
            [[fallthrough]];
        case OpCsub:
            if (m_sp == CallStackDepth) {
                r.Errors |= ErrorFlag::EAL;   // call stack overflow ends the program
                exit = Exit::End;
                goto out;
            }
            m_stack[m_sp++] = pc + 1;
            pc = uint32_t(w->Value);
            break;
        case OpRsub:
            if (m_sp == 0) {
                r.Errors |= ErrorFlag::EAL;   // return without a call ends the program
                exit = Exit::End;
                goto out;
            }
            pc = m_stack[--m_sp];
            break;
        case OpRst:
            // Drops every return address and a running interrupt, then jumps.
            m_sp = 0;
            m_inIsr = false;
            pc = uint32_t(w->Value);
            break;
        case OpSiv:
            if (x >= 0 && x < UserVariableCount)
                r.Vars[x] = w->Value;
            ++pc;
            break;
        case OpGiv:
            if (x >= 0 && x < UserVariableCount)
                a = r.Vars[x];
            ++pc;
            break;
        case OpAiv:
            if (x >= 0 && x < UserVariableCount)
                r.Vars[x] = a;
            ++pc;
            break;
        case OpCalcReg:
            KROL_SAVE();
            calcRegister(*w);
            KROL_LOAD();
            ++pc;
            break;
        case OpCle:
            r.Errors &= uint8_t(w->Type == 0 ? 0 : ~(1u << (w->Type - 1)));
            ++pc;
            break;
        case OpNop:
            ++pc;
            break;
        case OpVect:
            m_vector[w->Type] = w->Value;
            ++pc;
            break;
        case OpEi:
        case OpDi: {
            const bool on = w->Op == OpEi;
            if (w->Type == Irq::Global)
                m_irqGlobal = on;
            else if (on)
                m_irqEnabled |= uint64_t(1) << w->Type;
            else
                m_irqEnabled &= ~(uint64_t(1) << w->Type);
            ++pc;
            exit = Exit::Replan;
            goto out;
        }
        case OpReti:
            KROL_SAVE();
            m_pc = pc + 1;
            returnFromInterrupt();
            KROL_LOAD();
            pc = m_pc;
            exit = Exit::Replan;
            goto out;
        case OpWait:
            KROL_SAVE();
            if (!startWait(*w, slot + (budget - left - 1))) {
                exit = Exit::Replan;
                goto out;
            }
            ++pc;
            break;
        case OpSlow: {
            KROL_SAVE();
            m_periph.advanceTo((slot + (budget - left - 1)) / InstructionsPerMs);
            int32_t value;
            m_periph.execute(*w, r, value, false);
            KROL_LOAD();
            ++pc;
            if (m_periph.takePlanChange()) {
                exit = Exit::Replan;
                goto out;
            }
            break;
        }
        case OpStop:
            exit = Exit::End;
            goto out;
        case OpEnd:
            ++left;   // the end marker takes no time
            exit = Exit::End;
            goto out;
        case OpBreak:
            ++left;
            exit = Exit::Breakpoint;
            goto out;
        }
        w = code + pc;
    }
out:
    KROL_SAVE();
    m_pc = pc;
#undef KROL_SAVE
#undef KROL_LOAD
#undef KROL_JUMP_IF
    return budget - left;
}

void Interpreter::calcRegister(const TDecodedWord& w)
{
    TRegisters& r = m_regs;
    const int op = w.Type;
    if (w.Opcode == Opcode::CALCX) {
        Calculate(op, r.A, r.X, r);
        return;
    }
    // The decoder let through only variable numbers that exist.
    int32_t& var = r.Vars[w.Motor];
    switch (w.Opcode) {
    case Opcode::CALCV: {
        int32_t operand = w.Value;
        Calculate(op, var, operand, r);
        break;
    }
    case Opcode::CALCVV:
        Calculate(op, var, r.Vars[w.Value], r);
        break;
    case Opcode::CALCVA:
        Calculate(op, var, r.A, r);
        break;
    case Opcode::CALCAV:
        Calculate(op, r.A, var, r);
        break;
    case Opcode::CALCVX:
        Calculate(op, var, r.X, r);
        break;
    default:   // CALCXV
        Calculate(op, r.X, var, r);
        break;
    }
}

bool Interpreter::startWait(const TDecodedWord& w, int64_t slot)
{
    m_waitEvent = w.Type;
    m_waitMotor = w.Motor;
    m_waitDeadline = -1;
    const int64_t span = int64_t(w.Value) * TickMs * InstructionsPerMs;
    if (m_waitEvent == WaitEvent::Ticks) {
        if (w.Value <= 0)
            return true;
        m_waitDeadline = slot + 1 + span;
    } else {
        if (m_waitMotor >= AxisCount)
            return true;   // nothing to wait for
        if (w.Value > 0)
            m_waitDeadline = slot + 1 + span;
    }
    m_waiting = true;
    if (waitHolds()) {
        m_waiting = false;
        return true;
    }
    return false;
}

bool Interpreter::waitHolds() const
{
    if (m_waitEvent == WaitEvent::Ticks)
        return false;   // ends by its deadline only
    const VirtualAxis& axis = m_periph.axis(m_waitMotor);
    switch (m_waitEvent) {
    case WaitEvent::Pos: return axis.positionReached();
    case WaitEvent::RefSw: return axis.referenceSwitch();
    case WaitEvent::LimSw: return axis.leftLimitSwitch() || axis.rightLimitSwitch();
    default: return !axis.referenceSearchActive();
    }
}

bool Interpreter::resumeWait(int64_t slot)
{
    if (!m_waiting)
        return false;
    const bool timedOut = m_waitDeadline >= 0 && slot >= m_waitDeadline;
    if (waitHolds() || timedOut) {
        if (!waitHolds() && m_waitEvent != WaitEvent::Ticks)
            m_regs.Errors |= ErrorFlag::ETO;
        m_waiting = false;
        m_waitDeadline = -1;
        ++m_pc;
        return true;
    }
    return false;
}

bool Interpreter::irqEnabled(int irq) const
{
    return irq >= 0 && irq <= Irq::Last && (m_irqEnabled >> irq) & 1;
}

void Interpreter::raise(int irq)
{
    if (irqEnabled(irq))
        m_irqPending |= uint64_t(1) << irq;
}

bool Interpreter::takeInterrupt()
{
    if (m_inIsr || !m_irqGlobal)
        return false;
    const uint64_t ready = m_irqPending & m_irqEnabled;
    for (int irq = 0; ready >> irq; ++irq) {
        if (!((ready >> irq) & 1) || m_vector[irq] < 0)
            continue;
        m_irqPending &= ~(uint64_t(1) << irq);
        m_saved.Pc = m_pc;
        m_saved.A = m_regs.A;
        m_saved.X = m_regs.X;
        m_saved.FlagLeft = m_regs.FlagLeft;
        m_saved.FlagRight = m_regs.FlagRight;
        m_saved.Waiting = m_waiting;
        m_saved.WaitEvent = m_waitEvent;
        m_saved.WaitMotor = m_waitMotor;
        m_saved.WaitDeadline = m_waitDeadline;
        m_waiting = false;
        m_inIsr = true;
        m_pc = uint32_t(m_vector[irq]);
        return true;
    }
    return false;
}

void Interpreter::returnFromInterrupt()
{
    if (!m_inIsr)
        return;   // RETI outside a handler only moves on
    m_inIsr = false;
    m_pc = m_saved.Pc;
    m_regs.A = m_saved.A;
    m_regs.X = m_saved.X;
    m_regs.FlagLeft = m_saved.FlagLeft;
    m_regs.FlagRight = m_saved.FlagRight;
    m_waiting = m_saved.Waiting;
    m_waitEvent = m_saved.WaitEvent;
    m_waitMotor = m_saved.WaitMotor;
    m_waitDeadline = m_saved.WaitDeadline;
}

uint8_t Interpreter::executeDirect(const TDecodedWord& w, int32_t& value)
{
    TRegisters& r = m_regs;
    switch (w.Op) {
    case OpCalcAdd: case OpCalcSub: case OpCalcMul: case OpCalcDiv: case OpCalcMod:
    case OpCalcAnd: case OpCalcOr: case OpCalcXor: case OpCalcNot: case OpCalcLoad: {
        int32_t operand = w.Value;
        Calculate(w.Op - OpCalcAdd, r.A, operand, r);
        value = r.A;
        return ReplyStatus::Ok;
    }
    case OpComp:
        r.FlagLeft = r.A;
        r.FlagRight = w.Value;
        value = r.A;
        return ReplyStatus::Ok;
    case OpCalcReg:
        calcRegister(w);
        switch (w.Opcode) {
        case Opcode::CALCX: case Opcode::CALCAV: value = r.A; break;
        case Opcode::CALCXV: value = r.X; break;
        default: value = r.Vars[w.Motor]; break;
        }
        return ReplyStatus::Ok;
    case OpCle:
        r.Errors &= uint8_t(w.Type == 0 ? 0 : ~(1u << (w.Type - 1)));
        value = 0;
        return ReplyStatus::Ok;
    case OpEi:
    case OpDi:
        if (w.Type == Irq::Global)
            m_irqGlobal = w.Op == OpEi;
        else if (w.Op == OpEi)
            m_irqEnabled |= uint64_t(1) << w.Type;
        else
            m_irqEnabled &= ~(uint64_t(1) << w.Type);
        value = 0;
        return ReplyStatus::Ok;
    case OpSiv:
    case OpGiv:
    case OpAiv:
        if (r.X < 0 || r.X >= UserVariableCount)
            return ReplyStatus::InvalidValue;
        if (w.Op == OpSiv)
            r.Vars[r.X] = w.Value;
        else if (w.Op == OpAiv)
            r.Vars[r.X] = r.A;
        value = r.Vars[r.X];
        return ReplyStatus::Ok;
    default:
        return ReplyStatus::InvalidCommand;
    }
}

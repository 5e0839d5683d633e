#include "InstructionDecoder.h"

#include "Globals.h"
#include "ModuleCommands.h"
#include "SimParameters.h"

#include <climits>

namespace {

using namespace Condition;
using namespace CalcOp;

int32_t jumpTarget(int32_t value)
{
    return (value < 0 || value > ProgramMemoryWords) ? ProgramMemoryWords : value;
}

bool isVariable(int64_t n)
{
    return n >= 0 && n < Sim::UserVariableCount;
}

bool validIrq(int n)
{
    return n <= Sim::Irq::Last || n == Sim::Irq::Global;
}

} // namespace

bool IsValidCondition(int condition)
{
    return condition >= 0 && condition < Condition::Count;
}

bool ConditionHolds(int condition, const TRegisters& r)
{
    switch (condition) {
    case ZE: case EQ: return r.FlagLeft == r.FlagRight;
    case NZ: case NE: return r.FlagLeft != r.FlagRight;
    case GT: return r.FlagLeft > r.FlagRight;
    case GE: return r.FlagLeft >= r.FlagRight;
    case LT: return r.FlagLeft < r.FlagRight;
    case LE: return r.FlagLeft <= r.FlagRight;
    case ETO: return r.Errors & ErrorFlag::ETO;
    case EAL: return r.Errors & ErrorFlag::EAL;
    case EDV: return r.Errors & ErrorFlag::EDV;
    case EPO: return r.Errors & ErrorFlag::EPO;
    case ESD: return r.Errors & ErrorFlag::ESD;
    default: return false;
    }
}

bool Calculate(int op, int32_t& target, int32_t& operand, TRegisters& r)
{
    const uint32_t t = uint32_t(target);
    const uint32_t o = uint32_t(operand);
    switch (op) {
    case Add: target = int32_t(t + o); break;
    case Sub: target = int32_t(t - o); break;
    case Mul: target = int32_t(t * o); break;
    case Div:
    case Mod:
        if (operand == 0) {
            r.Errors |= ErrorFlag::EAL;   // the target keeps its value
        } else if (operand == -1) {
            target = op == Div ? int32_t(0u - t) : 0;
        } else {
            target = op == Div ? target / operand : target % operand;
        }
        break;
    case And: target = int32_t(t & o); break;
    case Or: target = int32_t(t | o); break;
    case Xor: target = int32_t(t ^ o); break;
    case Not: target = int32_t(~t); break;
    case Load: target = operand; break;
    case Swap: {
        const int32_t keep = target;
        target = operand;
        operand = keep;
        return true;
    }
    case Comp:
        r.FlagLeft = target;
        r.FlagRight = operand;
        return true;
    default:
        return false;
    }
    r.FlagLeft = target;
    r.FlagRight = 0;
    return true;
}

TDecodedWord DecodeWord(uint8_t opcode, uint8_t type, uint8_t motor, int32_t value)
{
    TDecodedWord w;
    w.Opcode = opcode;
    w.Type = type;
    w.Motor = motor;
    w.Value = value;
    w.Op = OpNop;
    switch (opcode) {
    case 0:
        w.Op = OpEnd;
        break;
    case Opcode::CALC:
        if (type <= Load)
            w.Op = uint8_t(OpCalcAdd + type);
        break;
    case Opcode::COMP:
        w.Op = OpComp;
        break;
    case Opcode::CALCX:
        if (type <= Comp)
            w.Op = OpCalcReg;
        break;
    case Opcode::CALCVA:
    case Opcode::CALCAV:
    case Opcode::CALCVX:
    case Opcode::CALCXV:
        if (type <= Comp && isVariable(motor))
            w.Op = OpCalcReg;
        break;
    case Opcode::CALCVV:
        if (type <= Comp && isVariable(motor) && isVariable(value))
            w.Op = OpCalcReg;
        break;
    case Opcode::CALCV:
        if ((type <= Load || type == Comp) && isVariable(motor))
            w.Op = OpCalcReg;
        break;
    case Opcode::JA:
        w.Op = OpJa;
        w.Value = jumpTarget(value);
        break;
    case Opcode::JC:
        w.Value = jumpTarget(value);
        switch (type) {
        case ZE: case EQ: w.Op = OpJcEq; break;
        case NZ: case NE: w.Op = OpJcNe; break;
        case GT: w.Op = OpJcGt; break;
        case GE: w.Op = OpJcGe; break;
        case LT: w.Op = OpJcLt; break;
        case LE: w.Op = OpJcLe; break;
        case ETO: case EAL: case EDV: case EPO: case ESD:
            w.Op = OpJcError;
            w.Motor = uint8_t(1u << (type - ETO));
            break;
        default: break;
        }
        break;
    case Opcode::CSUB:
        w.Op = OpCsub;
        w.Value = jumpTarget(value);
        break;
    case Opcode::CALL:
        if (IsValidCondition(type))
            w.Op = OpCall;
        w.Value = jumpTarget(value);
        break;
    case Opcode::RSUB: w.Op = OpRsub; break;
    case Opcode::DJNZ:
        if (isVariable(type))
            w.Op = OpDjnz;
        w.Value = jumpTarget(value);
        break;
    case Opcode::RST:
        w.Op = OpRst;
        w.Value = jumpTarget(value);
        break;
    case Opcode::STOP: w.Op = OpStop; break;
    case Opcode::WAIT:
        if (type <= Sim::WaitEvent::Rfs)
            w.Op = OpWait;
        break;
    case Opcode::EI:
        if (validIrq(type))
            w.Op = OpEi;
        break;
    case Opcode::DI:
        if (validIrq(type))
            w.Op = OpDi;
        break;
    case Opcode::VECT:
        if (type <= Sim::Irq::Last)
            w.Op = OpVect;
        w.Value = jumpTarget(value);
        break;
    case Opcode::RETI: w.Op = OpReti; break;
    case Opcode::CLE:
        if (type < CleCode::Count)
            w.Op = OpCle;
        break;
    case Opcode::SIV: w.Op = OpSiv; break;
    case Opcode::GIV: w.Op = OpGiv; break;
    case Opcode::AIV: w.Op = OpAiv; break;
    default:
        if ((opcode >= Opcode::ROR && opcode <= Opcode::AAPX) || opcode == Opcode::SAC
            || (opcode >= Opcode::SCO && opcode <= Opcode::CCO) || opcode == Opcode::AAP
            || opcode == Opcode::AGP || opcode == Opcode::ACO
            || (opcode >= Opcode::MVPA && opcode <= Opcode::MVPXA)
            || (opcode >= Opcode::ROLA && opcode <= Opcode::MSTX)
            || (opcode >= Opcode::UF0 && opcode <= Opcode::UF15))
            w.Op = OpSlow;
        break;
    }
    return w;
}

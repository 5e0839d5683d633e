#pragma once

#include <cstdint>

// How the interpreter dispatches a word; decoded once per download so the hot loop switches
// over one byte. OpSlow words are the instructions that reach axes, parameters and I/O.
enum VmOp : uint8_t {
    OpSlow,
    OpEnd,
    OpBreak,
    OpNop,
    OpCalcAdd, OpCalcSub, OpCalcMul, OpCalcDiv, OpCalcMod,
    OpCalcAnd, OpCalcOr, OpCalcXor, OpCalcNot, OpCalcLoad,
    OpComp,
    OpCalcReg,      // CALCX, CALCV, CALCVV, CALCVA, CALCAV, CALCVX, CALCXV
    OpJa,
    OpJcEq, OpJcNe, OpJcGt, OpJcGe, OpJcLt, OpJcLe,
    OpJcError,      // Motor holds the error flag to test
    OpCsub,
    OpRsub,
    OpCall,
    OpDjnz,
    OpRst,
    OpStop,
    OpWait,
    OpEi,
    OpDi,
    OpVect,
    OpReti,
    OpCle,
    OpSiv,
    OpGiv,
    OpAiv,
};

// One program word, decoded. Jump targets in Value are within 0 to the memory's capacity.
struct TDecodedWord
{
    uint8_t Op = OpEnd;
    uint8_t Opcode = 0;
    uint8_t Type = 0;
    uint8_t Motor = 0;
    int32_t Value = 0;
};

#pragma once

#include "TDecodedWord.h"
#include "TRegisters.h"

// Decodes a stored word for the interpreter. Words whose operands the module cannot execute
// (an unknown calculation, condition or event) become OpNop, so a program never stops on them.
TDecodedWord DecodeWord(uint8_t opcode, uint8_t type, uint8_t motor, int32_t value);

// True when a JC/CALL condition (its keyword index) holds.
bool ConditionHolds(int condition, const TRegisters& r);

// True for the keyword index of a JC/CALL condition the module knows.
bool IsValidCondition(int condition);

// The calculation of CALCX and its kin: target = target op operand; SWAP exchanges both, COMP
// compares them, NOT inverts the target. Returns false for an operation it does not know.
bool Calculate(int op, int32_t& target, int32_t& operand, TRegisters& r);

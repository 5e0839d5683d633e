#pragma once

#include <QString>
#include <cstdint>

// How the first operand of a row becomes the Type field.
enum TypeKindCode {
    TypeNone = 0,
    TypeNumber = 1,
    TypeMoveMode = 2,
    TypeWaitEvent = 4,
    TypeCondition = 7,
    TypeCalc = 8,
    TypeCalcx = 9,
    TypeCalcxx = 10,
    TypeCalcv = 11,
    TypeRfsMode = 12,
    TypeCle = 13,
};

// How the last operand of a row becomes the Value field.
enum ValueKindCode {
    ValueNone = 0,
    ValueNumber = 1,
    ValueLabel = 2,
    ValueByte = 3,
};

struct TInstructionRow
{
    QString Mnemonic;
    uint8_t Opcode;
    int TypeKind;
    int MotorKind;   // 1: a motor/bank operand follows
    int ValueKind;
};

constexpr int KROLInstructionCount = 74;

// 74 instructions, then a row with an empty mnemonic that ends the table.
extern const TInstructionRow KROLInstructions[KROLInstructionCount + 1];

// Keyword tables: the index of a keyword is its value; each ends with an empty string.
extern const QString ConditionMnemonic[];
extern const QString CalcMnemonic[];
extern const QString CalcxMnemonic[];
extern const QString CalceMnemonic[];
extern const QString CalcvMnemonic[];
extern const QString CleMnemonic[];
extern const QString WaitEventMnemonic[];

// First row with this mnemonic (exact, case-sensitive), or nullptr.
const TInstructionRow* FindInstruction(const QString& mnemonic);

// First row with this opcode, or nullptr.
const TInstructionRow* FindInstructionByOpcode(uint8_t opcode);

// Index of the text in a keyword table, or -1; the "!!!" placeholder never matches.
int FindKeyword(const QString table[], const QString& text);

// Number of entries before the empty end entry.
int KeywordCount(const QString table[]);

double DegToRad(double x);
double RadToDeg(double x);

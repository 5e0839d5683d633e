#pragma once

#include <QString>
#include <QStringView>
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

// What an instruction does with the module's registers and its flow, beyond its operands.
enum InstructionTrait : uint8_t {
    TraitNone = 0,
    FlowControl = 1,   // changes the program counter or waits; refused outside a program
    AxisFromX = 2,     // the axis is register X, not the motor operand
    ValueFromA = 4,    // the value is register A, not the value operand
};

struct TInstructionRow
{
    QString Mnemonic;
    uint8_t Opcode;
    int TypeKind;
    int MotorKind;   // 1: a motor/bank operand follows
    int ValueKind;
    uint8_t Traits;  // InstructionTrait bits

    bool Has(InstructionTrait trait) const { return (Traits & trait) != 0; }
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
extern const QString MoveModeMnemonic[];   // TypeMoveMode: "ABS" 0 to "RELCOORD" 3
extern const QString RfsModeMnemonic[];    // TypeRfsMode: "START" 0 to "STATUS" 2

// The keyword table of a type operand kind, or null when that type is a number.
const QString* TypeKeywordTable(int typeKind);

// Keyword values by name, for code that acts on them.
namespace Condition {
enum : int { ZE, NZ, EQ, NE, GT, GE, LT, LE, ETO, EAL, EDV, EPO, ESD, Count };
}
namespace CalcOp {
enum : int { Add, Sub, Mul, Div, Mod, And, Or, Xor, Not, Load, Swap, Comp, Count };
}
namespace MoveMode {
enum : int { Abs, Rel, Coord, RelCoord, Count };
}
namespace RfsMode {
enum : int { Start, Stop, Status, Count };
}
namespace CleCode {
enum : int { All, ETO, EAL, EDV, EPO, ESD, Count };
}

// Words of a module's program memory, the end marker included: at most 2047 instructions.
constexpr int ProgramMemoryWords = 2048;

// Label and constant names: 'A'-'Z' or '_' first, then 'A'-'Z', '0'-'9' or '_'.
bool IsValidName(QStringView name);

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

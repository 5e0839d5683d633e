#include "Globals.h"

#include <QHash>

#include <array>

const TInstructionRow KROLInstructions[KROLInstructionCount + 1] = {
    {QStringLiteral("ROR"), 1, TypeNone, 1, ValueNumber, TraitNone},
    {QStringLiteral("ROL"), 2, TypeNone, 1, ValueNumber, TraitNone},
    {QStringLiteral("MST"), 3, TypeNone, 1, ValueNone, TraitNone},
    {QStringLiteral("MVP"), 4, TypeMoveMode, 1, ValueNumber, TraitNone},
    {QStringLiteral("SAP"), 5, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("GAP"), 6, TypeNumber, 1, ValueNone, TraitNone},
    {QStringLiteral("STAP"), 7, TypeNumber, 1, ValueNone, TraitNone},
    {QStringLiteral("RSAP"), 8, TypeNumber, 1, ValueNone, TraitNone},
    {QStringLiteral("SGP"), 9, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("GGP"), 10, TypeNumber, 1, ValueNone, TraitNone},
    {QStringLiteral("STGP"), 11, TypeNumber, 1, ValueNone, TraitNone},
    {QStringLiteral("RSGP"), 12, TypeNumber, 1, ValueNone, TraitNone},
    {QStringLiteral("RFS"), 13, TypeRfsMode, 1, ValueNone, TraitNone},
    {QStringLiteral("SIO"), 14, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("GIO"), 15, TypeNumber, 1, ValueNone, TraitNone},
    {QStringLiteral("CALC"), 19, TypeCalc, 0, ValueNumber, TraitNone},
    {QStringLiteral("COMP"), 20, TypeNone, 0, ValueNumber, TraitNone},
    {QStringLiteral("JC"), 21, TypeCondition, 0, ValueLabel, FlowControl},
    {QStringLiteral("JA"), 22, TypeNone, 0, ValueLabel, FlowControl},
    {QStringLiteral("CSUB"), 23, TypeNone, 0, ValueLabel, FlowControl},
    {QStringLiteral("RSUB"), 24, TypeNone, 0, ValueNone, FlowControl},
    {QStringLiteral("EI"), 25, TypeNumber, 0, ValueNone, TraitNone},
    {QStringLiteral("DI"), 26, TypeNumber, 0, ValueNone, TraitNone},
    {QStringLiteral("WAIT"), 27, TypeWaitEvent, 1, ValueNumber, FlowControl},
    {QStringLiteral("STOP"), 28, TypeNone, 0, ValueNone, FlowControl},
    {QStringLiteral("SAC"), 29, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("SCO"), 30, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("GCO"), 31, TypeNumber, 1, ValueNone, TraitNone},
    {QStringLiteral("CCO"), 32, TypeNumber, 1, ValueNone, TraitNone},
    {QStringLiteral("CALCX"), 33, TypeCalcx, 0, ValueNone, TraitNone},
    {QStringLiteral("AAP"), 34, TypeNumber, 1, ValueNone, ValueFromA},
    {QStringLiteral("AGP"), 35, TypeNumber, 1, ValueNone, ValueFromA},
    {QStringLiteral("CLE"), 36, TypeCle, 0, ValueNone, TraitNone},
    {QStringLiteral("VECT"), 37, TypeNumber, 0, ValueLabel, FlowControl},
    {QStringLiteral("RETI"), 38, TypeNone, 0, ValueNone, FlowControl},
    {QStringLiteral("ACO"), 39, TypeNumber, 1, ValueNone, TraitNone},
    {QStringLiteral("SAPX"), 16, TypeNumber, 0, ValueNumber, AxisFromX},
    {QStringLiteral("GAPX"), 17, TypeNumber, 0, ValueNone, AxisFromX},
    {QStringLiteral("AAPX"), 18, TypeNumber, 0, ValueNone, uint8_t(AxisFromX | ValueFromA)},
    {QStringLiteral("CALCVV"), 40, TypeCalcxx, 1, ValueByte, TraitNone},
    {QStringLiteral("CALCVA"), 41, TypeCalcxx, 1, ValueNone, TraitNone},
    {QStringLiteral("CALCAV"), 42, TypeCalcxx, 1, ValueNone, TraitNone},
    {QStringLiteral("CALCVX"), 43, TypeCalcxx, 1, ValueNone, TraitNone},
    {QStringLiteral("CALCXV"), 44, TypeCalcxx, 1, ValueNone, TraitNone},
    {QStringLiteral("CALCV"), 45, TypeCalcv, 1, ValueNumber, TraitNone},
    {QStringLiteral("MVPA"), 46, TypeMoveMode, 1, ValueNone, ValueFromA},
    {QStringLiteral("MVPXA"), 47, TypeMoveMode, 0, ValueNone, uint8_t(AxisFromX | ValueFromA)},
    {QStringLiteral("RST"), 48, TypeNone, 0, ValueLabel, FlowControl},
    {QStringLiteral("DJNZ"), 49, TypeNumber, 0, ValueLabel, FlowControl},
    {QStringLiteral("ROLA"), 50, TypeNone, 1, ValueNone, ValueFromA},
    {QStringLiteral("RORA"), 51, TypeNone, 1, ValueNone, ValueFromA},
    {QStringLiteral("ROLXA"), 52, TypeNone, 0, ValueNone, uint8_t(AxisFromX | ValueFromA)},
    {QStringLiteral("RORXA"), 53, TypeNone, 0, ValueNone, uint8_t(AxisFromX | ValueFromA)},
    {QStringLiteral("MSTX"), 54, TypeNone, 0, ValueNone, AxisFromX},
    {QStringLiteral("SIV"), 55, TypeNone, 0, ValueNumber, TraitNone},
    {QStringLiteral("GIV"), 56, TypeNone, 0, ValueNone, TraitNone},
    {QStringLiteral("AIV"), 57, TypeNone, 0, ValueNone, TraitNone},
    {QStringLiteral("CALL"), 80, TypeCondition, 0, ValueLabel, FlowControl},
    {QStringLiteral("UF0"), 64, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF1"), 65, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF2"), 66, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF3"), 67, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF4"), 68, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF5"), 69, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF6"), 70, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF7"), 71, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF8"), 72, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF9"), 73, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF10"), 74, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF11"), 75, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF12"), 76, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF13"), 77, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF14"), 78, TypeNumber, 1, ValueNumber, TraitNone},
    {QStringLiteral("UF15"), 79, TypeNumber, 1, ValueNumber, TraitNone},
    {QString(), 0, TypeNone, 0, ValueNone, TraitNone},
};

const QString ConditionMnemonic[] = {
    QStringLiteral("ZE"), QStringLiteral("NZ"), QStringLiteral("EQ"), QStringLiteral("NE"),
    QStringLiteral("GT"), QStringLiteral("GE"), QStringLiteral("LT"), QStringLiteral("LE"),
    QStringLiteral("ETO"), QStringLiteral("EAL"), QStringLiteral("EDV"), QStringLiteral("EPO"),
    QStringLiteral("ESD"), QString()};

#define KROL_CALC_OPS                                                                            \
    QStringLiteral("ADD"), QStringLiteral("SUB"), QStringLiteral("MUL"), QStringLiteral("DIV"), \
        QStringLiteral("MOD"), QStringLiteral("AND"), QStringLiteral("OR"),                      \
        QStringLiteral("XOR"), QStringLiteral("NOT"), QStringLiteral("LOAD")

const QString CalcMnemonic[] = {KROL_CALC_OPS, QString()};
const QString CalcxMnemonic[] = {KROL_CALC_OPS, QStringLiteral("SWAP"), QStringLiteral("COMP"),
                                 QString()};
const QString CalceMnemonic[] = {KROL_CALC_OPS, QStringLiteral("SWAP"), QStringLiteral("COMP"),
                                 QString()};
// "!!!" holds index 10 so that COMP stays 11; CALCV has no SWAP.
const QString CalcvMnemonic[] = {KROL_CALC_OPS, QStringLiteral("!!!"), QStringLiteral("COMP"),
                                 QString()};
#undef KROL_CALC_OPS

const QString CleMnemonic[] = {QStringLiteral("ALL"), QStringLiteral("ETO"),
                               QStringLiteral("EAL"), QStringLiteral("EDV"),
                               QStringLiteral("EPO"), QStringLiteral("ESD"), QString()};

const QString WaitEventMnemonic[] = {QStringLiteral("TICKS"), QStringLiteral("POS"),
                                     QStringLiteral("REFSW"), QStringLiteral("LIMSW"),
                                     QStringLiteral("RFS"), QString()};

const QString MoveModeMnemonic[] = {QStringLiteral("ABS"), QStringLiteral("REL"),
                                    QStringLiteral("COORD"), QStringLiteral("RELCOORD"),
                                    QString()};

const QString RfsModeMnemonic[] = {QStringLiteral("START"), QStringLiteral("STOP"),
                                   QStringLiteral("STATUS"), QString()};

namespace {

// Built once on first use; keeps the first row of every mnemonic, as a walk from row 0 would.
const QHash<QString, const TInstructionRow*>& mnemonicIndex()
{
    static const QHash<QString, const TInstructionRow*> index = [] {
        QHash<QString, const TInstructionRow*> h;
        for (const TInstructionRow* row = KROLInstructions; !row->Mnemonic.isEmpty(); ++row) {
            if (!h.contains(row->Mnemonic))
                h.insert(row->Mnemonic, row);
        }
        return h;
    }();
    return index;
}

} // namespace

const TInstructionRow* FindInstruction(const QString& mnemonic)
{
    if (mnemonic.isEmpty())
        return nullptr;
    return mnemonicIndex().value(mnemonic, nullptr);
}

const TInstructionRow* FindInstructionByOpcode(uint8_t opcode)
{
    static const auto byOpcode = [] {
        std::array<const TInstructionRow*, 256> table{};
        for (const TInstructionRow* row = KROLInstructions; !row->Mnemonic.isEmpty(); ++row) {
            if (!table[row->Opcode])
                table[row->Opcode] = row;
        }
        return table;
    }();
    return byOpcode[opcode];
}

int FindKeyword(const QString table[], const QString& text)
{
    for (int i = 0; !table[i].isEmpty(); ++i) {
        if (table[i] == text)
            return table[i] == QLatin1String("!!!") ? -1 : i;
    }
    return -1;
}

int KeywordCount(const QString table[])
{
    int n = 0;
    while (!table[n].isEmpty())
        ++n;
    return n;
}

bool IsValidName(QStringView name)
{
    const auto start = [](QChar c) {
        return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('_');
    };
    if (name.isEmpty() || !start(name.at(0)))
        return false;
    for (QChar c : name) {
        if (!start(c) && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return false;
    }
    return true;
}

double DegToRad(double x)
{
    return x * 0.017453292519943295;
}

double RadToDeg(double x)
{
    return x * 57.29577951308232;
}

const QString* TypeKeywordTable(int typeKind)
{
    switch (typeKind) {
    case TypeMoveMode: return MoveModeMnemonic;
    case TypeWaitEvent: return WaitEventMnemonic;
    case TypeCondition: return ConditionMnemonic;
    case TypeCalc: return CalcMnemonic;
    case TypeCalcx: return CalcxMnemonic;
    case TypeCalcxx: return CalceMnemonic;
    case TypeCalcv: return CalcvMnemonic;
    case TypeRfsMode: return RfsModeMnemonic;
    case TypeCle: return CleMnemonic;
    default: return nullptr;
    }
}

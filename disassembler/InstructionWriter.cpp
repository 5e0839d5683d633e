#include "InstructionWriter.h"

#include "CDisAsmError.h"
#include "Globals.h"

#include <charconv>

namespace {

void Put(InstructionWriter::Buffer& line, const QString& text)
{
    line.append(text.constData(), text.size());
}

void Put(InstructionWriter::Buffer& line, const char* text)
{
    for (; *text; ++text)
        line.append(QLatin1Char(*text));
}

void PutNumber(InstructionWriter::Buffer& line, qint64 number)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    for (const char* d = digits; d != end; ++d)
        line.append(QLatin1Char(*d));
}

} // namespace

namespace {

// The type operand of the keyword kinds: its table and the message for a value it lacks.
struct KeywordKind
{
    int kind;
    const QString* table;
    const char* message;
};

const KeywordKind KeywordKinds[] = {
    {TypeMoveMode, MoveModeMnemonic, "cmd"},
    {TypeCondition, ConditionMnemonic, "Unknow condition code"},
    {TypeCalc, CalcMnemonic, "Unknown CALC code"},
    {TypeCalcx, CalcxMnemonic, "Unknown CALCX code"},
    {TypeCalcxx, CalceMnemonic, "Unknown CALCxx code"},
    {TypeCalcv, CalcvMnemonic, "Unknown CALCV code"},
    {TypeRfsMode, RfsModeMnemonic, "Unexpected parameter value"},
    {TypeCle, CleMnemonic, "Unknown CLE code"},
};

} // namespace

InstructionWriter::InstructionWriter(const TParameterList& waitEvents)
    : WaitEvents(waitEvents.isEmpty() ? DefaultWaitEventList() : waitEvents)
{
    Keywords.fill({nullptr, nullptr, 0});
    for (const KeywordKind& k : KeywordKinds)
        Keywords[size_t(k.kind)] = {k.table, k.message, KeywordCount(k.table)};
}

bool InstructionWriter::Append(int address, const TInstruction& instruction, Buffer& line) const
{
    const TInstructionRow* row = FindInstructionByOpcode(instruction.Opcode);
    if (!row)
        throw CDisAsmError(address, QStringLiteral("Unknown opcode"));

    Put(line, row->Mnemonic);
    line.append(QLatin1Char(' '));
    const char* motorSeparator = ", ";
    const int t = instruction.Type;
    if (row->TypeKind == TypeNone) {
        motorSeparator = "";
    } else if (row->TypeKind == TypeNumber) {
        PutNumber(line, t);
    } else if (row->TypeKind == TypeWaitEvent) {
        const TParameterDescriptor* event = FindParameter(WaitEvents, t);
        if (!event)
            throw CDisAsmError(address, QStringLiteral("Unknown event code"));
        Put(line, event->Name);
    } else if (row->TypeKind > 0 && size_t(row->TypeKind) < Keywords.size()
               && Keywords[size_t(row->TypeKind)].Table) {
        const KeywordTable& k = Keywords[size_t(row->TypeKind)];
        if (t >= k.Count || k.Table[t] == QLatin1String("!!!"))
            throw CDisAsmError(address, QString::fromLatin1(k.Message));
        Put(line, k.Table[t]);
    } else {
        throw CDisAsmError(address, QStringLiteral("Internal error 1"));
    }

    const char* valueSeparator = ", ";
    if (row->MotorKind == 1) {
        Put(line, motorSeparator);
        PutNumber(line, instruction.Motor);
    } else if (row->MotorKind == 0) {
        valueSeparator = motorSeparator;
    } else {
        throw CDisAsmError(address, QStringLiteral("Internal error 2"));
    }

    switch (row->ValueKind) {
    case ValueNone:
        return false;
    case ValueNumber:
    case ValueByte:
        Put(line, valueSeparator);
        PutNumber(line, instruction.Value);
        return false;
    case ValueLabel:
        Put(line, valueSeparator);
        Put(line, "Lbl");
        PutNumber(line, instruction.Value);
        return true;
    default:
        throw CDisAsmError(address, QStringLiteral("Internal error 3"));
    }
}

QString InstructionWriter::Text(int address, const TInstruction& instruction) const
{
    Buffer line;
    Append(address, instruction, line);
    return QString(line.constData(), line.size()).simplified();
}

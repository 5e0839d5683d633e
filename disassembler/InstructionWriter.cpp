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

InstructionWriter::InstructionWriter(const TParameterList& waitEvents)
    : Condition(KeywordCount(ConditionMnemonic)),
      Calc(KeywordCount(CalcMnemonic)),
      Calcx(KeywordCount(CalcxMnemonic)),
      Calce(KeywordCount(CalceMnemonic)),
      Calcv(KeywordCount(CalcvMnemonic)),
      Cle(KeywordCount(CleMnemonic)),
      WaitEvents(waitEvents.isEmpty() ? DefaultWaitEventList() : waitEvents)
{
}

bool InstructionWriter::Append(int address, const TInstruction& instruction, Buffer& line) const
{
    static const QString MoveModes[] = {QStringLiteral("ABS"), QStringLiteral("REL"),
                                        QStringLiteral("COORD"), QStringLiteral("RELCOORD")};
    static const QString RfsModes[] = {QStringLiteral("START"), QStringLiteral("STOP"),
                                       QStringLiteral("STATUS")};

    const TInstructionRow* row = FindInstructionByOpcode(instruction.Opcode);
    if (!row)
        throw CDisAsmError(address, QStringLiteral("Unknown opcode"));

    Put(line, row->Mnemonic);
    line.append(QLatin1Char(' '));
    const char* motorSeparator = ", ";
    const int t = instruction.Type;
    switch (row->TypeKind) {
    case TypeNone:
        motorSeparator = "";
        break;
    case TypeNumber:
        PutNumber(line, t);
        break;
    case TypeMoveMode:
        if (t > 3)
            throw CDisAsmError(address, QStringLiteral("cmd"));
        Put(line, MoveModes[t]);
        break;
    case TypeWaitEvent: {
        const TParameterDescriptor* event = FindParameter(WaitEvents, t);
        if (!event)
            throw CDisAsmError(address, QStringLiteral("Unknown event code"));
        Put(line, event->Name);
        break;
    }
    case TypeCondition:
        if (t >= Condition)
            throw CDisAsmError(address, QStringLiteral("Unknow condition code"));
        Put(line, ConditionMnemonic[t]);
        break;
    case TypeCalc:
        if (t >= Calc)
            throw CDisAsmError(address, QStringLiteral("Unknown CALC code"));
        Put(line, CalcMnemonic[t]);
        break;
    case TypeCalcx:
        if (t >= Calcx)
            throw CDisAsmError(address, QStringLiteral("Unknown CALCX code"));
        Put(line, CalcxMnemonic[t]);
        break;
    case TypeCalcxx:
        if (t >= Calce)
            throw CDisAsmError(address, QStringLiteral("Unknown CALCxx code"));
        Put(line, CalceMnemonic[t]);
        break;
    case TypeCalcv:
        if (t >= Calcv || CalcvMnemonic[t] == QLatin1String("!!!"))
            throw CDisAsmError(address, QStringLiteral("Unknown CALCV code"));
        Put(line, CalcvMnemonic[t]);
        break;
    case TypeRfsMode:
        if (t > 2)
            throw CDisAsmError(address, QStringLiteral("Unexpected parameter value"));
        Put(line, RfsModes[t]);
        break;
    case TypeCle:
        if (t >= Cle)
            throw CDisAsmError(address, QStringLiteral("Unknown CLE code"));
        Put(line, CleMnemonic[t]);
        break;
    default:
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

#include "DirectModeChoices.h"

#include "CDisAsmError.h"
#include "Globals.h"
#include "InstructionWriter.h"
#include "KROLModuleInterface.h"
#include "ModuleCommands.h"

#include <algorithm>

namespace {

struct StatusMeaning
{
    int status;
    const char* meaning;
};

const StatusMeaning Meanings[] = {
    {ReplyStatus::Ok, "done"},
    {ReplyStatus::Stored, "instruction stored"},
    {ReplyStatus::WrongChecksum, "wrong checksum"},
    {ReplyStatus::InvalidCommand, "invalid command"},
    {ReplyStatus::WrongType, "wrong type"},
    {ReplyStatus::InvalidValue, "invalid value"},
    {ReplyStatus::ConfigurationLocked, "configuration locked"},
    {ReplyStatus::NotAvailable, "command not available"},
    {ReplyStatus::VerifyError, "verify error"},
    {ReplyStatus::WriteProtected, "write protected"},
    {ReplyStatus::NotPossibleNow, "not possible now (motors running)"},
};

} // namespace

QList<int> DirectModeChoices::instructions(const KROLModuleInterface* module)
{
    QList<int> opcodes;
    if (module == nullptr)
        return opcodes;
    const QString listed = module->getParameter(QStringLiteral("module"), QStringLiteral("DirectModeCommands")).name;
    for (const QString& text : listed.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int opcode = text.trimmed().toInt(&ok);
        if (!ok || opcode < 0 || opcode > 255 || opcodes.contains(opcode))
            continue;
        const TInstructionRow* row = FindInstructionByOpcode(uint8_t(opcode));
        if (row != nullptr && !row->Has(FlowControl))
            opcodes << opcode;
    }
    std::sort(opcodes.begin(), opcodes.end());
    return opcodes;
}

QString DirectModeChoices::parameterMap(int opcode, int motorBank)
{
    switch (opcode) {
    case Opcode::SAP: case Opcode::GAP: case Opcode::STAP: case Opcode::RSAP: case Opcode::AAP:
        return QStringLiteral("axis%1").arg(motorBank);
    case Opcode::SAPX: case Opcode::GAPX: case Opcode::AAPX:
        return QStringLiteral("axis0");
    case Opcode::SGP: case Opcode::GGP: case Opcode::STGP: case Opcode::RSGP: case Opcode::AGP:
        return QStringLiteral("global%1").arg(motorBank);
    case Opcode::SIO: case Opcode::GIO:
        return QStringLiteral("io%1").arg(motorBank);
    case Opcode::SCO: case Opcode::GCO: case Opcode::CCO: case Opcode::ACO:
        return QStringLiteral("coordinates");
    default:
        return QString();
    }
}

QString DirectModeChoices::motorLabel(int opcode)
{
    const QString map = parameterMap(opcode, 0);
    return map.startsWith(QLatin1String("global")) || map.startsWith(QLatin1String("io"))
        ? QStringLiteral("Bank") : QStringLiteral("Motor");
}

QList<DirectModeChoices::Choice> DirectModeChoices::types(const KROLModuleInterface* module, int opcode,
                                                          int motorBank)
{
    QList<Choice> choices;
    const TInstructionRow* row = FindInstructionByOpcode(uint8_t(opcode));
    if (row == nullptr)
        return choices;
    if (const QString* table = TypeKeywordTable(row->TypeKind)) {
        for (int i = 0; !table[i].isEmpty(); ++i) {
            if (table[i] != QLatin1String("!!!"))
                choices.append({table[i], i});
        }
        return choices;
    }
    const QString mapName = parameterMap(opcode, motorBank);
    const ParameterMap* map = module && !mapName.isEmpty() ? module->getParameterMapByName(mapName) : nullptr;
    if (map == nullptr)
        return choices;
    for (auto it = map->constBegin(); it != map->constEnd(); ++it) {
        if (!it.key().startsWith(QLatin1String("par::")))
            continue;
        const QString name = it->name.isEmpty() ? it.key().mid(5) : it->name;
        choices.append({QStringLiteral("%1 %2").arg(it->number).arg(name), int(it->number)});
    }
    std::stable_sort(choices.begin(), choices.end(), [](const Choice& a, const Choice& b) { return a.value < b.value; });
    return choices;
}

QString DirectModeChoices::line(int opcode, int type, int motorBank, int32_t value)
{
    TInstruction instruction;
    instruction.Opcode = uint8_t(opcode);
    instruction.Type = uint16_t(type);
    instruction.Motor = uint8_t(motorBank);
    instruction.Value = value;
    try {
        return InstructionWriter(TParameterList()).Text(0, instruction);
    } catch (const CDisAsmError&) {
        return QString();   // a keyword operand out of its table has no text
    }
}

QString DirectModeChoices::statusText(int status)
{
    for (const StatusMeaning& m : Meanings) {
        if (m.status == status)
            return QStringLiteral("%1 %2").arg(status).arg(QLatin1String(m.meaning));
    }
    return QString::number(status);
}

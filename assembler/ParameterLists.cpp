#include "ParameterLists.h"

#include "KROLModuleInterface.h"

namespace {

const QString ParameterPrefix = QStringLiteral("par::");

TParameterList Compiled(const KROLModuleInterface& module, const QString& mapName)
{
    TParameterList list;
    compileParameterList(module, mapName, &list);
    return list;
}

} // namespace

void compileParameterList(const KROLModuleInterface& module, const QString& mapName, TParameterList* list)
{
    const ParameterMap* map = module.getParameterMapByName(mapName);
    if (map == nullptr || list == nullptr)
        return;
    for (auto it = map->constBegin(); it != map->constEnd(); ++it) {
        if (!it.key().startsWith(ParameterPrefix))
            continue;
        const Parameter& p = it.value();
        TParameterDescriptor d;
        d.Number = p.number;
        d.Name = p.name;
        d.Unit = p.unit;
        // The low 32 bits: a 64-bit maximum of 4294967295 stays all ones in the unsigned Max.
        d.Min = static_cast<int32_t>(static_cast<uint32_t>(p.min));
        d.Max = static_cast<uint32_t>(p.max);
        d.Flag = p.flag;
        d.Readable = p.access.contains(QLatin1Char('r'));
        d.Writable = p.access.contains(QLatin1Char('w'));
        d.Storable = p.access.contains(QLatin1Char('e'));
        list->append(d);
    }
}

void TParameterLists::clear()
{
    *this = TParameterLists();
}

void TParameterLists::make(const KROLModuleInterface& module)
{
    clear();
    CommandList = module.getParameter(QStringLiteral("module"), QStringLiteral("DirectModeCommands"))
                      .name.split(QLatin1Char(','));
    for (int i = 0; i < module.numberOfAxes(); ++i)
        AxisParameterLists.append(Compiled(module, QStringLiteral("axis%1").arg(i)));
    for (int bank = 0; bank < 4; ++bank)
        GlobalParameterLists.append(Compiled(module, QStringLiteral("global%1").arg(bank)));
    InterruptList = Compiled(module, QStringLiteral("irq"));
    WaitEventList = Compiled(module, QStringLiteral("wait_cmd"));
    for (int bank = 0; bank < 3; ++bank)
        IoPortLists.append(Compiled(module, QStringLiteral("io%1").arg(bank)));
    PullUpList = Compiled(module, QStringLiteral("pu0"));
    CoordinateList = Compiled(module, QStringLiteral("coordinates"));

    const QString coordinates = QStringLiteral("coordinates");
    const Parameter eeprom = module.getParameter(coordinates, QStringLiteral("par::eeprom"));
    CoordinateEepromFlag = eeprom.flag2 && eeprom.number != 0;
    MultiAxisFlag = module.getParameter(coordinates, QStringLiteral("par::multiaxis")).flag2;
}

int velocityParameterNumber(const KROLModuleInterface& module)
{
    return module.getParameter(QStringLiteral("axis0"), QStringLiteral("par::TargetVelocity")).number;
}

TRangeSettings makeRangeSettings(const KROLModuleInterface& module, const TParameterLists& lists,
                                 const QStringList* commandList)
{
    TRangeSettings r;
    r.CommandList = commandList;
    r.VelocityParameter = velocityParameterNumber(module);
    r.NumberOfAxes = module.numberOfAxes();
    r.AxisParameterLists = lists.AxisParameterLists;
    r.GlobalParameterLists = lists.GlobalParameterLists;
    r.InterruptList = lists.InterruptList;
    r.WaitEventList = lists.WaitEventList;
    r.IoPortLists = lists.IoPortLists;
    r.PullUpList = lists.PullUpList;
    r.CoordinateList = lists.CoordinateList;
    r.CoordinateEepromFlag = lists.CoordinateEepromFlag;
    r.MultiAxisFlag = lists.MultiAxisFlag;
    return r;
}

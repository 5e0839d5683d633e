#include "ModuleOption.h"

#include "KROLModuleInterface.h"
#include "ParameterLists.h"

#include <QFileInfo>
#include <QScopedPointer>

namespace ModuleOption {

QCommandLineOption option()
{
    return QCommandLineOption(QStringLiteral("module"),
                              QStringLiteral("Check against the module described in DESC.json."),
                              QStringLiteral("DESC.json"));
}

bool load(const QString& path, QStringList* commandList, TRangeSettings* ranges, QString* error)
{
    QScopedPointer<KROLModuleInterface> module(KROLModuleInterface::fromFile(path, error));
    if (!module)
        return false;
    TParameterLists lists;
    lists.make(*module);
    *commandList = lists.CommandList;
    *ranges = makeRangeSettings(*module, lists, commandList);
    return true;
}

bool loadWaitEvents(const QString& path, TParameterList* events, QString* error)
{
    if (path.isEmpty())
        return true;
    QStringList commandList;
    TRangeSettings ranges;
    if (!load(QFileInfo(path).absoluteFilePath(), &commandList, &ranges, error))
        return false;
    *events = ranges.WaitEventList;
    return true;
}

} // namespace ModuleOption

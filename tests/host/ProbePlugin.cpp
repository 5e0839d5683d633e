#include "ProbePlugin.h"

#include "KROLModuleInterface.h"

ProbePlugin::ProbePlugin()
    : ToolsInterface(QStringLiteral("undefined"), QStringLiteral("Probe"), ToolsType::KROLCreator, 0, nullptr,
                     QString(), nullptr)
{
}

ProbePlugin::ProbePlugin(QString name, unsigned char id, KROLModuleInterface* module)
    : ToolsInterface(std::move(name), QStringLiteral("Probe"), ToolsType::KROLCreator, id, module, QString(), nullptr)
{
}

QString ProbePlugin::version()
{
    return QStringLiteral("probe 1");
}

ToolsInterface* ProbePlugin::clone(QString name, unsigned char id, KROLModuleInterface* module)
{
    return new ProbePlugin(std::move(name), id, module);
}

// Echoes the text and the export type back as a property, so the host side can see that
// the type's identity survived the library boundary.
void ProbePlugin::importValue(const export_type_t* key, QVariant value, QObject*)
{
    setProperty("imported", value);
    setProperty("importedScript", key == &ExportTypes::KROLScript);
}

#pragma once

#include "ToolsInterface.h"

// A tool plug-in as small as it gets: proves the host library works across a loaded module.
class ProbePlugin : public ToolsInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "krol.host.ToolsInterface/2.0" FILE "probeplugin.json")
    Q_INTERFACES(ToolsInterface)

public:
    ProbePlugin();
    ProbePlugin(QString name, unsigned char id, KROLModuleInterface* module);

    QString version() override;
    ToolsInterface* clone(QString name, unsigned char id, KROLModuleInterface* module) override;
    void importValue(const export_type_t* key, QVariant value, QObject* sender) override;
};

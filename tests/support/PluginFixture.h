#pragma once

#include "KROLModuleInterface.h"
#include "RecordingConnection.h"
#include "ToolsInterface.h"

#include <QPluginLoader>
#include <QScopedPointer>
#include <QString>

#include <memory>

// Loads the built KROLCreator plug-in exactly as a host does and clones workbenches from it
// for modules read from a description file, linked to a recording connection.
class PluginFixture
{
public:
    // The plug-in file of this build.
    static QString pluginPath();
    // A description file of modules/, by name (for example "virtual.json").
    static QString modulePath(const QString& name);

    // Loads the plug-in; false with *error when it cannot, or when its interface identifier
    // or metadata are not a tool plug-in's.
    bool load(QString* error);
    ToolsInterface* prototype() const { return m_prototype; }
    const QJsonObject& metaData() const { return m_meta; }

    // A workbench for a module read from a description file; the fixture keeps the module,
    // whose connection is link(). Null with *error when either cannot be made.
    std::unique_ptr<ToolsInterface> clone(const QString& descriptionPath, unsigned char id, QString* error);
    // For a module made from a description in memory.
    std::unique_ptr<ToolsInterface> clone(const ModuleDescription& description, unsigned char id);

    KROLModuleInterface* module() const { return m_module.data(); }
    RecordingConnection& link() { return m_link; }

private:
    QPluginLoader m_loader;
    QJsonObject m_meta;
    ToolsInterface* m_prototype = nullptr;
    RecordingConnection m_link;
    QScopedPointer<KROLModuleInterface> m_module;
};

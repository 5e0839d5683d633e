#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QPluginLoader;
class ToolsInterface;

// The tool plug-ins of one folder. Only plug-ins that implement the host's tool interface and
// call themselves "Tools" in their metadata are used; every other library file there is
// reported with its reason, and the rest still load.
class ToolPlugins
{
public:
    static constexpr const char* ToolKind = "Tools";

    ToolPlugins();
    ~ToolPlugins();
    ToolPlugins(const ToolPlugins&) = delete;
    ToolPlugins& operator=(const ToolPlugins&) = delete;

    // Loads the library files of the folder in name order. Plug-ins stay loaded while this
    // object lives: the workbenches cloned from them run their code.
    void load(const QString& folder);

    // One prototype per plug-in; they serve clone() only.
    const QList<ToolsInterface*>& prototypes() const { return m_prototypes; }
    // "FILE: REASON", one per plug-in that could not be used.
    const QStringList& failures() const { return m_failures; }

private:
    // The prototype of a usable plug-in, else null with *reason set.
    static ToolsInterface* open(QPluginLoader& loader, QString* reason);

    std::vector<std::unique_ptr<QPluginLoader>> m_loaders;
    QList<ToolsInterface*> m_prototypes;
    QStringList m_failures;
};

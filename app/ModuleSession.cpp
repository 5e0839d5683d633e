#include "ModuleSession.h"

#include "AxisPanel.h"
#include "DirectModePanel.h"
#include "KROLModuleInterface.h"
#include "ModuleDescription.h"
#include "SharedConnection.h"
#include "ToolsInterface.h"
#include "UnlinkedConnection.h"
#include "VirtualClock.h"
#include "VirtualConnection.h"
#include "VirtualModuleBuilder.h"

ModuleSession::ModuleSession(KROLModuleInterface* module, const QString& descriptionPath, unsigned char address,
                             QObject* parent)
    : QObject(parent)
    , m_module(module)
    , m_descriptionPath(descriptionPath)
    , m_address(address)
    , m_link(module->connectionInterface())
    , m_shared(new SharedConnection(module, this))
{
    m_module->setParent(this);
    m_axisPanel = new AxisPanel(m_module, m_shared, m_address);
    m_directPanel = new DirectModePanel(m_module, m_shared, m_address);
    connect(m_module, &KROLModuleInterface::parameterListChanged, this, &ModuleSession::onParameterListChanged);
    connect(m_module, &KROLModuleInterface::connectionChanged, this, &ModuleSession::onConnectionChanged);
}

ModuleSession::~ModuleSession()
{
    // The workbenches first: they still talk to the module while they go.
    for (const QPointer<ToolsInterface>& tool : m_tools)
        delete tool.data();
    delete m_axisPanel.data();
    delete m_directPanel.data();
}

ModuleSession* ModuleSession::openVirtual(const QString& descriptionPath, unsigned char address, bool realTime,
                                          QString* error, QObject* parent)
{
    KROLModuleInterface* module = VirtualModuleBuilder::createFromFile(descriptionPath, error);
    if (module == nullptr)
        return nullptr;
    VirtualConnection* connection = VirtualModuleBuilder::connectionOf(module);
    auto* session = new ModuleSession(module, descriptionPath, address, parent);
    session->m_virtual = connection;
    if (realTime) {
        // The clock alone lets time pass; requests take none.
        connection->setQuantumMs(0);
        session->m_clock = new VirtualClock(&connection->module(), session);
        session->m_clock->start();
    }
    return session;
}

QString ModuleSession::title() const
{
    return QStringLiteral("%1: %2").arg(m_address).arg(m_module->moduleName());
}

ToolsInterface* ModuleSession::addTool(ToolsInterface* prototype)
{
    ToolsInterface* tool = prototype->clone(m_module->moduleName(), m_address, m_module);
    if (tool == nullptr)
        return nullptr;
    tool->setModuleAddress(m_address);
    tool->setCommandHandler(m_shared);
    tool->setConnection(m_shared);
    tool->setEnabled(isLinked());
    m_tools << tool;
    return tool;
}

QList<ToolsInterface*> ModuleSession::tools() const
{
    QList<ToolsInterface*> list;
    for (const QPointer<ToolsInterface>& tool : m_tools) {
        if (tool)
            list << tool.data();
    }
    return list;
}

AxisPanel* ModuleSession::axisPanel() const
{
    return m_axisPanel;
}

DirectModePanel* ModuleSession::directPanel() const
{
    return m_directPanel;
}

bool ModuleSession::reloadDescription(QString* error)
{
    ModuleDescription description;
    if (!ModuleDescription::load(m_descriptionPath, &description, error))
        return false;
    m_module->setDescription(description);
    return true;
}

void ModuleSession::setLinked(bool linked)
{
    if (linked == isLinked())
        return;
    m_module->setConnectionInterface(linked ? m_link.data() : nullptr);
}

bool ModuleSession::isLinked() const
{
    return qobject_cast<UnlinkedConnection*>(m_module->connectionInterface()) == nullptr;
}

void ModuleSession::aboutToExit()
{
    for (ToolsInterface* tool : tools())
        tool->aboutToExit();
}

void ModuleSession::onParameterListChanged()
{
    for (ToolsInterface* tool : tools())
        tool->handleChangedParameterList();
}

void ModuleSession::onConnectionChanged()
{
    const bool linked = isLinked();
    if (linked)
        m_link = m_module->connectionInterface();
    for (ToolsInterface* tool : tools())
        tool->setEnabled(linked);
    emit linkChanged(linked);
}

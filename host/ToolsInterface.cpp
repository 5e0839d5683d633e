#include "ToolsInterface.h"

#include "KROLModuleInterface.h"
#include "UnlinkedConnection.h"

ToolsInterface::ToolsInterface(QString name, QString title, ToolsType type, unsigned char id,
                               KROLModuleInterface* module, QString iconResource, QWidget* parent)
    : QWidget(parent), m_name(std::move(name)), m_title(std::move(title)), m_type(type), m_id(id),
      m_moduleAddress(id), m_module(module), m_iconResource(std::move(iconResource)),
      m_unlinked(new UnlinkedConnection(this))
{
}

ToolsInterface::~ToolsInterface() = default;

KROLModuleInterface* ToolsInterface::module() const
{
    return m_module.data();
}

KROLConnectionInterface* ToolsInterface::connection() const
{
    if (m_connection)
        return m_connection.data();
    if (m_module)
        return m_module->connectionInterface();
    return m_unlinked;
}

CommandHandler* ToolsInterface::commandHandler() const
{
    if (m_handler)
        return m_handler.data();
    return connection();
}

void ToolsInterface::setCommandHandler(CommandHandler* handler)
{
    m_handler = handler;
}

void ToolsInterface::setConnection(KROLConnectionInterface* connection)
{
    m_connection = connection;
}

QString ToolsInterface::version()
{
    return QString();
}

void ToolsInterface::aboutToExit()
{
}

void ToolsInterface::setEnabled(bool enabled)
{
    QWidget::setEnabled(enabled);
}

void ToolsInterface::importValue(const export_type_t*, QVariant, QObject*)
{
}

ToolsInterface* ToolsInterface::clone(QString, unsigned char, KROLModuleInterface*)
{
    return nullptr;
}

void ToolsInterface::handleChangedParameterList()
{
}

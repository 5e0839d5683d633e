#include "KROLModuleInterface.h"

#include "UnlinkedConnection.h"

KROLModuleInterface::KROLModuleInterface(const ModuleDescription& description, QObject* parent)
    : QObject(parent), m_description(description), m_unlinked(new UnlinkedConnection(this))
{
}

KROLModuleInterface::~KROLModuleInterface() = default;

KROLModuleInterface* KROLModuleInterface::fromFile(const QString& path, QString* error, QObject* parent)
{
    ModuleDescription description;
    if (!ModuleDescription::load(path, &description, error))
        return nullptr;
    return new KROLModuleInterface(description, parent);
}

QString KROLModuleInterface::moduleName() const
{
    return m_description.name;
}

int KROLModuleInterface::numberOfAxes() const
{
    return m_description.axes;
}

const ParameterMap* KROLModuleInterface::getParameterMapByName(const QString& mapName) const
{
    const auto it = m_description.maps.constFind(mapName);
    return it == m_description.maps.constEnd() ? nullptr : &it.value();
}

bool KROLModuleInterface::hasParameter(const QString& mapName, const QString& parameterName) const
{
    const ParameterMap* map = getParameterMapByName(mapName);
    return map != nullptr && map->contains(parameterName);
}

Parameter KROLModuleInterface::getParameter(const QString& mapName, const QString& parameterName) const
{
    const ParameterMap* map = getParameterMapByName(mapName);
    return map ? map->value(parameterName) : Parameter();
}

KROLConnectionInterface* KROLModuleInterface::connectionInterface() const
{
    if (m_connection)
        return m_connection.data();
    return m_unlinked;
}

void KROLModuleInterface::setConnectionInterface(KROLConnectionInterface* connection)
{
    if (m_connection.data() == connection)
        return;
    m_connection = connection;
    emit connectionChanged();
}

void KROLModuleInterface::setDescription(const ModuleDescription& description)
{
    m_description = description;
    emit parameterListChanged();
}

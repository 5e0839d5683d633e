#include "PluginFixture.h"

#include <QDir>
#include <QJsonObject>

QString PluginFixture::pluginPath()
{
    return QStringLiteral(KROLCREATOR_PLUGIN_PATH);
}

QString PluginFixture::modulePath(const QString& name)
{
    return QDir(qEnvironmentVariable("KROL_SOURCE_DIR", QStringLiteral(KROL_SOURCE_DIR)))
        .filePath(QStringLiteral("modules/") + name);
}

bool PluginFixture::load(QString* error)
{
    m_loader.setFileName(pluginPath());
    m_meta = m_loader.metaData();
    const QString iid = m_meta.value(QStringLiteral("IID")).toString();
    const QString kind = m_meta.value(QStringLiteral("MetaData")).toObject().value(QStringLiteral("name")).toString();
    if (iid != QLatin1String(qobject_interface_iid<ToolsInterface*>()) || kind != QLatin1String("Tools")) {
        *error = QStringLiteral("not a tool plug-in: IID \"%1\", name \"%2\" (%3)")
                     .arg(iid, kind, m_loader.errorString());
        return false;
    }
    m_prototype = qobject_cast<ToolsInterface*>(m_loader.instance());
    if (m_prototype == nullptr) {
        *error = m_loader.errorString();
        return false;
    }
    return true;
}

std::unique_ptr<ToolsInterface> PluginFixture::clone(const QString& descriptionPath, unsigned char id,
                                                     QString* error)
{
    m_module.reset(KROLModuleInterface::fromFile(descriptionPath, error));
    if (!m_module)
        return nullptr;
    m_module->setConnectionInterface(&m_link);
    return std::unique_ptr<ToolsInterface>(m_prototype->clone(QStringLiteral("Module %1").arg(id), id, m_module.data()));
}

std::unique_ptr<ToolsInterface> PluginFixture::clone(const ModuleDescription& description, unsigned char id)
{
    m_module.reset(new KROLModuleInterface(description));
    m_module->setConnectionInterface(&m_link);
    return std::unique_ptr<ToolsInterface>(m_prototype->clone(QStringLiteral("Module %1").arg(id), id, m_module.data()));
}

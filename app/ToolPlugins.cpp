#include "ToolPlugins.h"

#include "ToolsInterface.h"

#include <QDir>
#include <QJsonObject>
#include <QLibrary>
#include <QPluginLoader>

ToolPlugins::ToolPlugins() = default;

// The prototypes belong to their loaders' plug-in instances; unloading would pull the code
// from under the workbenches, so nothing is unloaded.
ToolPlugins::~ToolPlugins() = default;

void ToolPlugins::load(const QString& folder)
{
    const QDir dir(folder);
    if (!dir.exists()) {
        m_failures << QStringLiteral("%1: the plug-in folder does not exist").arg(QDir::toNativeSeparators(folder));
        return;
    }
    const QStringList names = dir.entryList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (!QLibrary::isLibrary(path))
            continue;
        auto loader = std::make_unique<QPluginLoader>(path);
        QString reason;
        ToolsInterface* prototype = open(*loader, &reason);
        if (prototype == nullptr) {
            m_failures << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
            continue;
        }
        m_prototypes << prototype;
        m_loaders.push_back(std::move(loader));
    }
}

ToolsInterface* ToolPlugins::open(QPluginLoader& loader, QString* reason)
{
    const QJsonObject meta = loader.metaData();
    if (meta.isEmpty()) {
        *reason = loader.errorString();
        return nullptr;
    }
    const QString iid = meta.value(QStringLiteral("IID")).toString();
    const QString expected = QString::fromLatin1(qobject_interface_iid<ToolsInterface*>());
    if (iid != expected) {
        *reason = QStringLiteral("interface \"%1\", this program needs \"%2\"").arg(iid, expected);
        return nullptr;
    }
    const QString kind = meta.value(QStringLiteral("MetaData")).toObject().value(QStringLiteral("name")).toString();
    if (kind != QLatin1String(ToolKind)) {
        *reason = QStringLiteral("plug-in kind \"%1\", this program needs \"%2\"").arg(kind, QLatin1String(ToolKind));
        return nullptr;
    }
    QObject* instance = loader.instance();
    auto* prototype = qobject_cast<ToolsInterface*>(instance);
    if (prototype == nullptr) {
        *reason = instance == nullptr ? loader.errorString()
                                      : QStringLiteral("the plug-in object is not a tool");
        return nullptr;
    }
    return prototype;
}

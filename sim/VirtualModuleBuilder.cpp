#include "VirtualModuleBuilder.h"

#include "KROLModuleInterface.h"
#include "ModuleDescription.h"
#include "VirtualConnection.h"

#include <QCoreApplication>
#include <QFileInfo>

KROLModuleInterface* VirtualModuleBuilder::create(const ModuleDescription& description, QObject* parent)
{
    auto* module = new KROLModuleInterface(description, parent);
    auto* connection = new VirtualConnection(module);
    const auto takeCommands = [module, connection] {
        const Parameter commands = module->getParameter(QStringLiteral("module"),
                                                        QStringLiteral("DirectModeCommands"));
        connection->module().setDirectModeCommands(
            commands.name.isEmpty() ? QStringList() : commands.name.split(QLatin1Char(',')));
    };
    takeCommands();
    QObject::connect(module, &KROLModuleInterface::parameterListChanged, connection, takeCommands);
    module->setConnectionInterface(connection);
    return module;
}

KROLModuleInterface* VirtualModuleBuilder::createFromFile(const QString& path, QString* error,
                                                          QObject* parent)
{
    ModuleDescription description;
    if (!ModuleDescription::load(path, &description, error))
        return nullptr;
    return create(description, parent);
}

VirtualConnection* VirtualModuleBuilder::connectionOf(const KROLModuleInterface* module)
{
    return module ? qobject_cast<VirtualConnection*>(module->connectionInterface()) : nullptr;
}

QString VirtualModuleBuilder::defaultDescriptionPath()
{
    QStringList candidates;
    if (QCoreApplication::instance()) {
        candidates << QCoreApplication::applicationDirPath()
                + QStringLiteral("/../" KROL_INSTALL_DATADIR "/krol/modules/virtual.json");
    }
    candidates << QStringLiteral(KROL_SOURCE_MODULES_DIR "/virtual.json");
    for (const QString& path : candidates) {
        if (QFileInfo::exists(path))
            return QFileInfo(path).canonicalFilePath();
    }
    return candidates.constLast();
}

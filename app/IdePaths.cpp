#include "IdePaths.h"

#include "VirtualModuleBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

QString IdePaths::firstExisting(const QStringList& candidates)
{
    for (const QString& path : candidates) {
        if (QFileInfo::exists(path))
            return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    }
    return QDir::cleanPath(candidates.constLast());
}

QString IdePaths::pluginFolder()
{
    const QString bin = QCoreApplication::applicationDirPath();
    return firstExisting({bin + QStringLiteral("/../plugins"),
                          bin + QStringLiteral("/../" KROL_INSTALL_LIBDIR "/krol/plugins")});
}

QString IdePaths::defaultModule()
{
    return VirtualModuleBuilder::defaultDescriptionPath();
}

QString IdePaths::examplesFolder()
{
    const QString bin = QCoreApplication::applicationDirPath();
    return firstExisting({bin + QStringLiteral("/../" KROL_INSTALL_DATADIR "/krol/examples"),
                          QStringLiteral(KROL_SOURCE_DIR "/examples")});
}

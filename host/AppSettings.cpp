#include "AppSettings.h"

#include <QDir>
#include <QStandardPaths>

namespace {

QString PrepareOrganisation()
{
    const QString home = qEnvironmentVariable("KROL_HOME");
    if (!home.isEmpty())
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QDir(home).filePath(QStringLiteral("settings")));
    return QString::fromLatin1(AppSettings::Organisation);
}

} // namespace

AppSettings::AppSettings(QObject* parent)
    : QSettings(PrepareOrganisation(), QString::fromLatin1(Application), parent)
{
}

AppSettings::~AppSettings() = default;

void AppSettings::endGroup()
{
    if (!group().isEmpty())
        QSettings::endGroup();
}

QString AppSettings::homePath()
{
    const QString home = qEnvironmentVariable("KROL_HOME");
    if (!home.isEmpty())
        return home;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

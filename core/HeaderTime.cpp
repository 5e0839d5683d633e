#include "HeaderTime.h"

namespace {

constexpr const char* Variable = "SOURCE_DATE_EPOCH";
constexpr qint64 LastSecond = 253402300799;   // 9999-12-31 23:59:59 UTC

// -1: not set or empty; -2: set but unusable.
qint64 epoch()
{
    const QByteArray value = qgetenv(Variable);
    if (value.isEmpty())
        return -1;
    bool ok = false;
    const qint64 seconds = value.toLongLong(&ok);
    return ok && seconds >= 0 && seconds <= LastSecond ? seconds : -2;
}

} // namespace

QDateTime HeaderTime::now()
{
    const qint64 seconds = epoch();
    return seconds >= 0 ? QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC)
                        : QDateTime::currentDateTime();
}

QString HeaderTime::text()
{
    return now().toString(QStringLiteral("MM-dd-yyyy hh:mm:ss"));
}

bool HeaderTime::checkEnvironment(QString* error)
{
    if (epoch() != -2)
        return true;
    *error = QStringLiteral("SOURCE_DATE_EPOCH must be a whole number of seconds from 0 to %1, not '%2'")
                 .arg(LastSecond)
                 .arg(QString::fromLocal8Bit(qgetenv(Variable)));
    return false;
}

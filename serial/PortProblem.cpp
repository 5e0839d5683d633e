#include "PortProblem.h"

#include <QFileInfo>

#include <unistd.h>

namespace PortProblem {

namespace {

bool mayOpen(const QString& port)
{
    return ::access(QFile::encodeName(port).constData(), R_OK | W_OK) == 0;
}

} // namespace

QString openFailure(const QString& port, QSerialPort::SerialPortError error, const QString& systemText)
{
    const QFileInfo info(port);
    if (error == QSerialPort::DeviceNotFoundError || !info.exists())
        return QStringLiteral("cannot open %1: there is no such port. Check the device name and that "
                              "the module is plugged in and switched on.")
            .arg(port);
    if (!mayOpen(port)) {
        const QString group = info.group().isEmpty() ? QStringLiteral("dialout") : info.group();
        return QStringLiteral("cannot open %1: permission denied. Serial ports may be opened by the "
                              "members of the group '%2': run 'sudo usermod -aG %2 $USER' and log "
                              "in again.")
            .arg(port, group);
    }
    if (error == QSerialPort::PermissionError)
        return QStringLiteral("cannot open %1: the port is in use by another program. Close that "
                              "program and try again.")
            .arg(port);
    return QStringLiteral("cannot open %1: %2").arg(port, systemText);
}

QString vanished(const QString& port)
{
    return QStringLiteral("the port %1 went away (unplugged?); the module is not connected.").arg(port);
}

} // namespace PortProblem

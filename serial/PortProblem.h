#pragma once

#include <QSerialPort>
#include <QString>

// Messages for a serial port that cannot be used, each naming the port and, where there is
// one, what the user can do about it.
namespace PortProblem {

// Why the port could not be opened; systemText is the port's own error string.
QString openFailure(const QString& port, QSerialPort::SerialPortError error, const QString& systemText);
// The port stopped working while open (a USB adapter unplugged, the peer of a pseudo-terminal gone).
QString vanished(const QString& port);

} // namespace PortProblem

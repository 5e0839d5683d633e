#include "SerialConnection.h"

#include "Command.h"
#include "FrameCodec.h"
#include "LowLevelLog.h"
#include "PortProblem.h"

#include <QDeadlineTimer>

SerialConnection::SerialConnection(const TSerialSettings& settings, QObject* parent)
    : KROLConnectionInterface(parent), m_settings(settings), m_reader(settings.ReplyAddress)
{
    setTimeoutMs(settings.TimeoutMs);
    m_port.setPortName(settings.Port);
}

SerialConnection::~SerialConnection() = default;

bool SerialConnection::open(QString* error)
{
    if (m_port.isOpen())
        return true;
    m_port.setBaudRate(m_settings.Baud);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (m_port.open(QIODevice::ReadWrite)) {
        m_port.clearError();
        return true;
    }
    const QString message = PortProblem::openFailure(m_settings.Port, m_port.error(), m_port.errorString());
    m_port.clearError();
    if (error)
        *error = message;
    m_lastError = message;
    return false;
}

void SerialConnection::close()
{
    m_port.close();
    m_reader.clear();
}

void SerialConnection::openInterface(int mode)
{
    // The port is ours alone from open to close; exclusive use changes nothing but the record.
    m_openMode = mode;
}

bool SerialConnection::portFailed() const
{
    const QSerialPort::SerialPortError e = m_port.error();
    return e != QSerialPort::NoError && e != QSerialPort::TimeoutError;
}

void SerialConnection::fail(const QString& message)
{
    if (message != m_lastError || !m_sinceFailure.isValid() || m_sinceFailure.hasExpired(m_quietMs))
        m_sinceFailure.start();
    m_lastError = message;
    qCDebug(debLowLevel) << "serial" << m_settings.Port << message;
    if (m_answering) {
        m_answering = false;
        emit answeringChanged(false);
    }
}

FrameReader::Result SerialConnection::awaitReply(QByteArray* frame)
{
    const QDeadlineTimer deadline(m_settings.TimeoutMs);
    for (;;) {
        const FrameReader::Result r = m_reader.next(frame);
        if (r != FrameReader::Result::NeedMore)
            return r;
        if (m_port.bytesAvailable() == 0 && !m_port.waitForReadyRead(int(deadline.remainingTime())))
            return r;
        m_reader.append(m_port.readAll());
    }
}

void SerialConnection::processRequest(Command* request, Command* reply)
{
    Command scratch;
    Command* answer = reply ? reply : &scratch;
    *answer = Command();
    if (!request || !request->isValid()) {
        fail(QStringLiteral("no request to send"));
        return;
    }
    if (!m_answering && m_quietMs > 0 && m_sinceFailure.isValid() && !m_sinceFailure.hasExpired(m_quietMs))
        return fail(m_lastError);
    if (!m_port.isOpen() && !open())
        return fail(m_lastError);

    // Whatever arrived since the last reply (a late answer, noise) belongs to no request. It is
    // read and dropped rather than flushed: a flush of a pseudo-terminal's input waits for the
    // kernel's buffer work and cost more than a frame's time on a busy machine.
    m_port.readAll();
    while (m_port.waitForReadyRead(0))
        m_port.readAll();
    m_reader.clear();
    m_port.clearError();

    const QByteArray out = FrameCodec::encodeRequest(*request);
    if (m_port.write(out) != out.size() || !m_port.waitForBytesWritten(m_settings.TimeoutMs)) {
        const QString message = portFailed() ? PortProblem::vanished(m_settings.Port)
                                             : QStringLiteral("the request could not be sent to %1 within %2 ms")
                                                   .arg(m_settings.Port).arg(m_settings.TimeoutMs);
        if (portFailed())
            close();
        return fail(message);
    }

    QByteArray frame;
    switch (awaitReply(&frame)) {
    case FrameReader::Result::Frame:
        *answer = FrameCodec::decodeReply(frame.constData());
        m_lastError.clear();
        if (!m_answering) {
            m_answering = true;
            emit answeringChanged(true);
        }
        return;
    case FrameReader::Result::WrongChecksum:
        return fail(QStringLiteral("invalid reply from %1: wrong checksum (%2, the bytes add up to %3)")
                        .arg(m_settings.Port)
                        .arg(static_cast<unsigned char>(frame.at(8)))
                        .arg(FrameCodec::checksum(frame.constData())));
    case FrameReader::Result::WrongAddress:
        return fail(QStringLiteral("invalid reply from %1: addressed to %2, not to this host (%3)")
                        .arg(m_settings.Port)
                        .arg(static_cast<unsigned char>(frame.at(0)))
                        .arg(m_settings.ReplyAddress));
    case FrameReader::Result::NeedMore:
        break;
    }
    if (portFailed()) {
        close();
        return fail(PortProblem::vanished(m_settings.Port));
    }
    const int held = m_reader.pending();
    if (m_reader.skipped() > 0)
        return fail(QStringLiteral("invalid reply from %1: %2 bytes that form no reply within %3 ms")
                        .arg(m_settings.Port)
                        .arg(m_reader.skipped() + held)
                        .arg(m_settings.TimeoutMs));
    if (held > 0)
        return fail(QStringLiteral("invalid reply from %1: %2 of %3 bytes within %4 ms")
                        .arg(m_settings.Port)
                        .arg(held)
                        .arg(FrameCodec::FrameSize)
                        .arg(m_settings.TimeoutMs));
    fail(QStringLiteral("no reply from the module on %1 within %2 ms").arg(m_settings.Port).arg(m_settings.TimeoutMs));
}

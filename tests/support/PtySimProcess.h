#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

// `krol sim --pty` started for a test: the device path is its first line of output, and the
// test ends it by its process id (SIGTERM), after which it must have ended cleanly.
class PtySimProcess
{
public:
    ~PtySimProcess() { stop(); }

    // Starts the server with the extra arguments; false when it printed no path in time.
    bool start(const QStringList& arguments = {})
    {
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/krol"),
                        QStringList{QStringLiteral("sim"), QStringLiteral("--pty")} + arguments);
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(10000))
                return false;
        }
        m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return m_path.startsWith(QLatin1Char('/'));
    }

    QString path() const { return m_path; }
    qint64 pid() const { return m_process.processId(); }
    QString errorOutput() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

    // Sends SIGTERM; true when the server ended by itself with status 0.
    bool stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished();
            return false;
        }
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
    QString m_path;
};

#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the built krol binary (it lies beside the test executables) and keeps what it printed.
struct KrolResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline QString krolBinary()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/krol");
}

inline QString sourceDir()
{
    return qEnvironmentVariable("KROL_SOURCE_DIR");
}

inline KrolResult runKrol(const QStringList& arguments, const QString& workingDirectory = QString())
{
    QProcess p;
    if (!workingDirectory.isEmpty())
        p.setWorkingDirectory(workingDirectory);
    p.start(krolBinary(), arguments);
    KrolResult r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("krol did not finish");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

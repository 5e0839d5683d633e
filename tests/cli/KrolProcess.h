#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtTest>

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

// One row of an exit status table with the columns "arguments", "exitCode" and "stderrPattern"
// (a regular expression): %D in both stands for dir, %S in the arguments for the source root.
inline void checkExitStatusRow(const QString& dir, KrolResult* result = nullptr)
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, stderrPattern);
    for (QString& a : arguments)
        a.replace("%D", dir).replace("%S", sourceDir());
    const KrolResult r = runKrol(arguments);
    if (result)
        *result = r;
    QTEST(r.exitCode, "exitCode");
    const QString pattern = stderrPattern.replace("%D", QRegularExpression::escape(dir));
    QVERIFY2(QRegularExpression(pattern).match(r.err).hasMatch(), qPrintable(r.err));
}

#pragma once

#include "CaseFile.h"
#include "InputFile.h"
#include "TestData.h"

#include <QCoreApplication>
#include <QDir>
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
    QByteArray rawOut;
};

inline QString krolBinary()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/krol");
}

inline QString sourceDir()
{
    return qEnvironmentVariable("KROL_SOURCE_DIR");
}

// Leading arguments NAME=VALUE set the environment and <FILE takes standard input from FILE,
// as a shell would read them.
inline KrolResult runKrol(QStringList arguments, const QString& workingDirectory = QString())
{
    QProcess p;
    if (!workingDirectory.isEmpty())
        p.setWorkingDirectory(workingDirectory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    while (!arguments.isEmpty() && (arguments.first().startsWith('<') || arguments.first().contains('='))) {
        const QString a = arguments.takeFirst();
        if (a.startsWith('<'))
            p.setStandardInputFile(a.mid(1));
        else
            environment.insert(a.section('=', 0, 0), a.section('=', 1));
    }
    p.setProcessEnvironment(environment);
    p.start(krolBinary(), arguments);
    KrolResult r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("krol did not finish");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.rawOut = p.readAllStandardOutput();
    r.out = QString::fromUtf8(r.rawOut);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Runs krol with the arguments, %D in them standing for dir and %S for the source root, and
// checks its exit status and that standard error matches the pattern (%D in it is dir).
inline void checkExitStatus(const QString& dir, QStringList arguments, int exitCode, QString stderrPattern,
                            KrolResult* result = nullptr)
{
    for (QString& a : arguments)
        a.replace("%D", dir).replace("%S", sourceDir());
    const KrolResult r = runKrol(arguments);
    if (result)
        *result = r;
    QCOMPARE(r.exitCode, exitCode);
    const QString pattern = stderrPattern.replace("%D", QRegularExpression::escape(dir));
    QVERIFY2(QRegularExpression(pattern).match(r.err).hasMatch(), qPrintable(r.err));
}

// One row of an exit status table with the columns "arguments", "exitCode" and "stderrPattern".
inline void checkExitStatusRow(const QString& dir, KrolResult* result = nullptr)
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrPattern);
    checkExitStatus(dir, arguments, exitCode, stderrPattern, result);
}

// One case of an exit status case file (tests/cases/krol-*-exit.cases, read with AddCaseRows):
// the command line "krol ARGUMENTS" and "exits STATUS, standard error matches PATTERN".
inline void checkExitStatusCase(const QString& dir, KrolResult* result = nullptr)
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    const QRegularExpressionMatch expected =
        QRegularExpression("^exits (\\d+), standard error matches (.*)$").match(results.value(0));
    QVERIFY2(body.size() == 1 && body[0].startsWith("krol ") && results.size() == 1 && expected.hasMatch(),
             "\"krol ARGUMENTS\", then \"-> exits STATUS, standard error matches PATTERN\"");
    checkExitStatus(dir, body[0].mid(5).split(' ', Qt::SkipEmptyParts), expected.captured(1).toInt(),
                    expected.captured(2), result);
}

// Inputs that must be refused without blocking: FIFOs (fifo, fifo.bin), files one byte beyond
// the limits (huge.kro, huge.bin; sparse, so they cost no disk), a folder named like a program
// (dir.bin), and sources whose include is one of them (fifoinc.kro, zeroinc.kro, hugeinc.kro).
inline bool WriteRefusedInputs(const QString& dir)
{
    const auto sparse = [&dir](const QString& name, qint64 size) {
        QFile f(WriteTestFile(dir + '/' + name, ""));
        return f.resize(size);
    };
    WriteTestFile(dir + "/fifoinc.kro", "#include fifo\nSTOP\n");
    WriteTestFile(dir + "/zeroinc.kro", "#include /dev/zero\n");
    WriteTestFile(dir + "/hugeinc.kro", "STOP\n#include huge.kro\n");
    return !MakeFifo(dir + "/fifo").isEmpty() && !MakeFifo(dir + "/fifo.bin").isEmpty()
           && QDir(dir).mkdir("dir.bin") && sparse("huge.kro", InputFile::TextLimit + 1)
           && sparse("huge.bin", InputFile::BinaryLimit + 1);
}

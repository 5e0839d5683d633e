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

// One case of an exit status case file (tests/cases/krol-*-exit.cases, read with AddCaseRows):
// the command line "krol ARGUMENTS" (run in dir; %D in it is dir, %S the source root), then
// "exits STATUS, standard error matches PATTERN", then any of "standard output matches PATTERN"
// and "%D/FILE holds TEXT" (its bytes afterwards, "\n" a line end).
inline void checkExitStatusCase(const QString& dir, KrolResult* result = nullptr)
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    const QRegularExpressionMatch expected =
        QRegularExpression("^exits (\\d+), standard error matches (.*)$").match(results.value(0));
    QVERIFY2(body.size() == 1 && body[0].startsWith("krol ") && expected.hasMatch(),
             "\"krol ARGUMENTS\", then \"-> exits STATUS, standard error matches PATTERN\"");
    const QString root = sourceDir();
    const KrolResult r = runKrol(body[0].mid(5).split(' ', Qt::SkipEmptyParts).replaceInStrings("%D", dir)
                                     .replaceInStrings("%S", root), dir);
    QCOMPARE(r.exitCode, expected.captured(1).toInt());
    const QString escaped = QRegularExpression::escape(dir);
    QVERIFY2(QRegularExpression(expected.captured(2).replace("%D", escaped)).match(r.err).hasMatch(), qPrintable(r.err));
    if (result)
        *result = r;
    for (QString line : results.mid(1)) {
        if (line.startsWith("standard output matches ")) {
            QVERIFY2(QRegularExpression(line.mid(24).replace("%D", escaped)).match(r.out).hasMatch(), qPrintable(r.out));
        } else {
            QVERIFY2(line.contains(" holds "), qPrintable("not a result: " + line));
            QFile file(line.section(" holds ", 0, 0).replace("%D", dir));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            QCOMPARE(QString::fromUtf8(file.readAll()), line.section(" holds ", 1).replace("\\n", "\n"));
        }
    }
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

#include "Assembler.h"

#include <QtTest>

// Runs the case files of tests/cases/*.cases (their first lines give the format): each case is
// a source and the words or the error it must give.
class tst_Cases : public QObject
{
    Q_OBJECT

private slots:
    void cases_data();
    void cases();
};

void tst_Cases::cases_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");
    const QDir folder(qEnvironmentVariable("KROL_SOURCE_DIR") + "/tests/cases");
    const QStringList files = folder.entryList({"*.cases"}, QDir::Files);
    QVERIFY2(!files.isEmpty(), qPrintable(folder.path()));
    for (const QString& name : files) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QString title;
        QStringList lines;
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            if (line.startsWith("== ")) {
                title = name + ": " + line.mid(3);
                lines.clear();
            } else if (line.startsWith("-> ")) {
                QVERIFY2(!title.isEmpty(), qPrintable(name + ": a result without a case"));
                QTest::newRow(qPrintable(title)) << lines.join('\n') << line.mid(3);
                title.clear();
            } else if (!title.isEmpty()) {
                lines.append(line);
            }
        }
        QVERIFY2(title.isEmpty(), qPrintable(title + ": no result"));
    }
}

void tst_Cases::cases()
{
    QFETCH(QString, source);
    Assembler a;
    a.SetHeadless(true);
    a.SetSourceFile(QString(), QStringLiteral("t.kro"), 0);
    bool failed = false;
    a.DoAsm(source + QStringLiteral("\nDEST:"), false, false, false, false, QString(), failed);
    QList<TInstruction> program;
    a.GetAsmResult(&program);
    QString result;
    if (failed) {
        QVERIFY(program.isEmpty());
        result = QStringLiteral("error %1: %2").arg(a.LastError().Line).arg(a.LastError().Message);
    } else {
        QVERIFY(!program.isEmpty());
        const TInstruction& ins = program.last();
        result = QStringLiteral("%1 %2 %3 %4").arg(ins.Opcode).arg(ins.Type).arg(ins.Motor).arg(ins.Value);
        QCOMPARE(ins.Line, source.count('\n') + 1);
        QVERIFY(!ins.BreakpointFlag);
    }
    QTEST(result, "expected");
}

QTEST_MAIN(tst_Cases)
#include "tst_cases.moc"

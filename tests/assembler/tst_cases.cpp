#include "Assembler.h"
#include "CaseFile.h"

#include <QtTest>

// Runs tests/cases/translate.cases (its first lines give the format): each case is a source and
// the word or the error it must give.
class tst_Cases : public QObject
{
    Q_OBJECT

private slots:
    void cases_data();
    void cases();
};

void tst_Cases::cases_data()
{
    AddCaseRows("translate.cases");
}

void tst_Cases::cases()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    const QString source = body.join('\n');
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
    QCOMPARE(QStringList{result}, results);
}

QTEST_MAIN(tst_Cases)
#include "tst_cases.moc"

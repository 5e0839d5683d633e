#include "Assembler.h"
#include "CaseFile.h"
#include "KROLModuleInterface.h"
#include "ParameterLists.h"

#include <QtTest>

// Runs the case files of whole assemblies (their first lines give the format): single lines and
// the word or the error they give (translate.cases), and sources range-checked against
// modules/virtual.json the way the workbench and `krol asm --module` check them
// (range-assembly.cases).
class tst_Cases : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void translate_data() { AddCaseRows("translate.cases"); }
    void translate();
    void ranges_data() { AddCaseRows("range-assembly.cases"); }
    void ranges();

private:
    std::unique_ptr<KROLModuleInterface> m_module;
    TParameterLists m_lists;
};

void tst_Cases::initTestCase()
{
    QString error;
    m_module.reset(KROLModuleInterface::fromFile(
        QDir(qEnvironmentVariable("KROL_SOURCE_DIR")).filePath(QStringLiteral("modules/virtual.json")), &error));
    QVERIFY2(m_module, qPrintable(error));
    m_lists.make(*m_module);
}

void tst_Cases::translate()
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

void tst_Cases::ranges()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    Assembler a;
    a.SetHeadless(true);
    a.SetSourceFile(QString(), QStringLiteral("prog.kro"), 0);
    a.SetRanges(makeRangeSettings(*m_module, m_lists, &m_lists.CommandList));
    bool error = false;
    a.DoAsm(body.join('\n'), false, false, false, true, QString(), error);
    const QString result = error ? QStringLiteral("error %1: %2").arg(a.LastError().Line).arg(a.LastError().Message)
                                 : QStringLiteral("assembles");
    QCOMPARE(QStringList{result}, results);
}

QTEST_MAIN(tst_Cases)
#include "tst_cases.moc"

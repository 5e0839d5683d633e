#include "Assembler.h"
#include "CaseFile.h"
#include "KROLModuleInterface.h"
#include "ParameterLists.h"

#include <QtTest>

// Whole sources assembled with range checking against modules/virtual.json, the way the
// workbench and `krol asm --module` do it.
class tst_RangeAssembly : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sources_data();
    void sources();

private:
    std::unique_ptr<KROLModuleInterface> m_module;
    TParameterLists m_lists;
};

void tst_RangeAssembly::initTestCase()
{
    QString error;
    m_module.reset(KROLModuleInterface::fromFile(
        QDir(qEnvironmentVariable("KROL_SOURCE_DIR")).filePath(QStringLiteral("modules/virtual.json")), &error));
    QVERIFY2(m_module, qPrintable(error));
    m_lists.make(*m_module);
}

// tests/cases/range-assembly.cases: a source and "assembles" or the error it gets.
void tst_RangeAssembly::sources_data()
{
    AddCaseRows("range-assembly.cases");
}

void tst_RangeAssembly::sources()
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

QTEST_MAIN(tst_RangeAssembly)
#include "tst_rangeassembly.moc"

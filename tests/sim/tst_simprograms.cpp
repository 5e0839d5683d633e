#include "CaseFile.h"
#include "SimScript.h"
#include "SimTestSupport.h"

#include <QtTest>

class tst_SimPrograms : public QObject
{
    Q_OBJECT

private slots:
    void scripts_data() { AddCaseRows("sim-runs.cases"); }
    void scripts();
    void traceReportsEveryInstruction();
};

// tests/cases/sim-runs.cases: programs and what the module does with them, step by step.
void tst_SimPrograms::scripts()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    RunSimScript(body, results);
}

void tst_SimPrograms::traceReportsEveryInstruction()
{
    VirtualModule m;
    QVERIFY(LoadProgram(m, "CALC LOAD 0 2; WAIT TICKS 0 1; CALC ADD 0 3; JA 0 0 5; STOP; CALCX SWAP; STOP"));
    QVector<TTraceStep> steps;
    m.setTraceHook([&steps](const TTraceStep& s) { steps.append(s); });
    send(m, ModuleCommand::ApplRun);
    m.advance(20);
    QCOMPARE(steps.size(), 6);
    const int addresses[] = {0, 1, 2, 3, 5, 6};
    for (int i = 0; i < steps.size(); ++i)
        QCOMPARE(steps[i].Address, addresses[i]);
    QCOMPARE(int(steps[2].Opcode), int(Opcode::CALC));
    QCOMPARE(steps[2].A, 5);
    QCOMPARE(steps[2].TimeMs, qint64(10));   // after the WAIT
    QCOMPARE(steps[4].X, 5);
    QCOMPARE(m.state(), VirtualModule::Stopped);

    send(m, ModuleCommand::ApplStep);
    QCOMPARE(steps.size(), 7);
    QCOMPARE(steps.last().Address, 0);
}

QTEST_APPLESS_MAIN(tst_SimPrograms)
#include "tst_simprograms.moc"

#include "CaseFile.h"
#include "SimScript.h"

#include <QtTest>

// Runs tests/cases/sim-requests.cases: the requests of the module protocol, step by step.
class tst_SimProtocol : public QObject
{
    Q_OBJECT

private slots:
    void requests_data() { AddCaseRows("sim-requests.cases"); }
    void requests();
};

void tst_SimProtocol::requests()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    RunSimScript(body, results);
}

QTEST_APPLESS_MAIN(tst_SimProtocol)
#include "tst_simprotocol.moc"

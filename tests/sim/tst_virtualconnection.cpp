#include "SimTestSupport.h"
#include "ModuleDescription.h"
#include "VirtualConnection.h"
#include "VirtualModuleBuilder.h"

#include <QtTest>

#include <memory>

namespace {

const char* description = R"({
  "name": "Virtual test module",
  "axes": 3,
  "maps": {
    "module": { "DirectModeCommands": { "number": 0, "name": "5,6,9,10,19,22" } }
  }
})";

std::unique_ptr<KROLModuleInterface> makeModule()
{
    ModuleDescription d;
    QString error;
    if (!ModuleDescription::parse(description, "test.json", &d, &error))
        qFatal("%s", qPrintable(error));
    return std::unique_ptr<KROLModuleInterface>(VirtualModuleBuilder::create(d));
}

} // namespace

class tst_VirtualConnection : public QObject
{
    Q_OBJECT

private slots:
    void builtFromDescription();
    void eachRequestAdvancesTheClock();
    void invalidRequests();
    void missingDescriptionFile();
};

void tst_VirtualConnection::builtFromDescription()
{
    auto m = makeModule();
    QCOMPARE(m->moduleName(), QString("Virtual test module"));
    VirtualConnection* c = VirtualModuleBuilder::connectionOf(m.get());
    QVERIFY(c);
    QCOMPARE(c->parent(), m.get());
    QVERIFY(VirtualModuleBuilder::defaultDescriptionPath().endsWith("modules/virtual.json"));

    // The module's reply comes back whole; what the module answers is tst_simprotocol's.
    const Command r = ask(*m, Opcode::GAP, 4);
    QVERIFY(r.isValid());
    QCOMPARE(int(r.status()), 100);
    QCOMPARE(r.value(), 100000);
    QCOMPARE(int(r.command()), int(Opcode::GAP));
    QCOMPARE(int(r.address()), 1);

    // Only the listed instructions pass; a new description without the list lets every one through.
    QCOMPARE(int(ask(*m, Opcode::ROR, 0, 1).status()), 6);
    QCOMPARE(int(ask(*m, Opcode::JA).status()), 2);
    m->setDescription(ModuleDescription());
    QCOMPARE(int(ask(*m, Opcode::ROR, 0, 1).status()), 100);
}

void tst_VirtualConnection::eachRequestAdvancesTheClock()
{
    auto m = makeModule();
    VirtualModule& v = VirtualModuleBuilder::connectionOf(m.get())->module();
    const qint64 before = v.timeMs();
    for (int i = 0; i < 5; ++i)
        ask(*m, ModuleCommand::GetStatus, 1);
    QCOMPARE(v.timeMs(), before + 5);
    VirtualModuleBuilder::connectionOf(m.get())->setQuantumMs(0);
    ask(*m, ModuleCommand::GetStatus, 1);
    QCOMPARE(v.timeMs(), before + 5);
}

void tst_VirtualConnection::invalidRequests()
{
    auto m = makeModule();
    Command reply(1, 2, 3, 4, 5, false, 12);
    m->connectionInterface()->processRequest(nullptr, &reply);
    QVERIFY(!reply.isValid());
    Command notValid;
    m->connectionInterface()->processRequest(&notValid, &reply);
    QVERIFY(!reply.isValid());
    m->connectionInterface()->processRequest(&notValid, nullptr);   // nothing to fill, no crash
}

void tst_VirtualConnection::missingDescriptionFile()
{
    QString error;
    QVERIFY(!VirtualModuleBuilder::createFromFile("/nonexistent/virtual.json", &error));
    QVERIFY(error.contains("/nonexistent/virtual.json"));
}

QTEST_GUILESS_MAIN(tst_VirtualConnection)
#include "tst_virtualconnection.moc"

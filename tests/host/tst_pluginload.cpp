#include "Command.h"
#include "KROLModuleInterface.h"
#include "RecordingConnection.h"
#include "ToolsInterface.h"

#include <QtTest>

// Loads a tool plug-in that links the host library, as the host application does.
class tst_PluginLoad : public QObject
{
    Q_OBJECT

private slots:
    void loadsAndClones();
};

void tst_PluginLoad::loadsAndClones()
{
    QPluginLoader loader(QStringLiteral(PROBE_PLUGIN_PATH));
    const QJsonObject meta = loader.metaData();
    QCOMPARE(meta.value(QStringLiteral("IID")).toString(), QStringLiteral("krol.host.ToolsInterface/2.0"));
    QCOMPARE(meta.value(QStringLiteral("className")).toString(), QStringLiteral("ProbePlugin"));
    QCOMPARE(meta.value(QStringLiteral("MetaData")).toObject().value(QStringLiteral("name")).toString(),
             QStringLiteral("Tools"));

    QObject* instance = loader.instance();
    QVERIFY2(instance != nullptr, qPrintable(loader.errorString()));
    ToolsInterface* prototype = qobject_cast<ToolsInterface*>(instance);
    QVERIFY(prototype != nullptr);
    QCOMPARE(prototype->version(), QStringLiteral("probe 1"));

    KROLModuleInterface module(ModuleDescription {});
    RecordingConnection link;
    module.setConnectionInterface(&link);
    std::unique_ptr<ToolsInterface> tool(prototype->clone(QStringLiteral("Module 1"), 4, &module));
    QVERIFY(tool);
    QCOMPARE(tool->module(), &module);

    link.queueReply(RecordingConnection::reply(100, 9));
    Command reply;
    tool->commandHandler()->doDirectRequest(new Command(tool->moduleAddress(), 10, 77, 0, 0, false, 12), &reply);
    QCOMPARE(reply.value(), 9);
    QCOMPARE(int(link.requests().value(0).address()), 4);

    tool->importValue(&ExportTypes::KROLScript, QStringLiteral("ROR 0, 100"), nullptr);
    QCOMPARE(tool->property("imported").toString(), QStringLiteral("ROR 0, 100"));
    QVERIFY(tool->property("importedScript").toBool());
}

QTEST_MAIN(tst_PluginLoad)
#include "tst_pluginload.moc"

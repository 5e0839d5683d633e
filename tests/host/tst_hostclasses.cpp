#include "AppSettings.h"
#include "Command.h"
#include "ExportType.h"
#include "ImportFilter_SameModule.h"
#include "ImportFilterExportTypes.h"
#include "KROLModuleInterface.h"
#include "LowLevelLog.h"
#include "RecordingConnection.h"
#include "SettingsGroup.h"
#include "ToolsInterface.h"

#include <QtTest>

namespace {

ModuleDescription TwoAxes()
{
    ModuleDescription d;
    d.name = QStringLiteral("Bench");
    d.axes = 2;
    Parameter p;
    p.number = 77;
    p.flag = true;
    p.flag2 = true;
    p.access = QStringLiteral("rwe");
    d.maps[QStringLiteral("global0")][QStringLiteral("par::auto start mode")] = p;
    return d;
}

class ProbeTool : public ToolsInterface
{
    Q_OBJECT

public:
    ProbeTool(KROLModuleInterface* module, unsigned char id = 3)
        : ToolsInterface(QStringLiteral("probe"), QStringLiteral("Probe"), ToolsType::KROLCreator, id, module,
                         QStringLiteral(":/icon"), nullptr)
    {
    }
};

} // namespace

class tst_HostClasses : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void commandValidity();
    void moduleLookups();
    void unlinkedModuleRepliesInvalid();
    void connectionFallsBackWhenGone();
    void descriptionChangeIsAnnounced();
    void fromFileReportsErrors();
    void toolRoutesRequests();
    void toolWithoutModule();
    void importFilters();
    void importFilterOwnership();
    void settingsStayInKrolHome();
    void lowLevelSwitchIsOffByDefault();
};

void tst_HostClasses::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(!qEnvironmentVariable("KROL_HOME").isEmpty());
}

// The fields' getters are held by every request compared elsewhere; the type keeps all 16 bits.
void tst_HostClasses::commandValidity()
{
    QCOMPARE(int(Command(5, 9, 300, 2, -7, false, 12).type()), 300);
    QVERIFY(Command(5, 9, 300, 2, -7, false, 12).isValid());
    QVERIFY(!Command().isValid());
}

void tst_HostClasses::moduleLookups()
{
    KROLModuleInterface module(TwoAxes());
    QCOMPARE(module.moduleName(), QStringLiteral("Bench"));
    QCOMPARE(module.numberOfAxes(), 2);
    QVERIFY(module.getParameterMapByName(QStringLiteral("axis0")) == nullptr);
    QVERIFY(module.getParameterMapByName(QStringLiteral("global0")) != nullptr);
    QVERIFY(module.hasParameter(QStringLiteral("global0"), QStringLiteral("par::auto start mode")));
    QVERIFY(!module.hasParameter(QStringLiteral("global0"), QStringLiteral("par::Auto start mode")));
    QVERIFY(!module.hasParameter(QStringLiteral("global1"), QStringLiteral("par::auto start mode")));
    QCOMPARE(module.getParameter(QStringLiteral("global0"), QStringLiteral("par::auto start mode")).number, 77);

    for (const auto& [map, name] : {std::pair<const char*, const char*> {"global0", "par::missing"},
                                    {"nomap", "par::auto start mode"}}) {
        const Parameter missing = module.getParameter(QLatin1String(map), QLatin1String(name));
        QCOMPARE(missing.number, 0);
        QVERIFY(!missing.flag && !missing.flag2);
    }
}

void tst_HostClasses::unlinkedModuleRepliesInvalid()
{
    KROLModuleInterface module(TwoAxes());
    KROLConnectionInterface* link = module.connectionInterface();
    QVERIFY(link != nullptr);
    Command reply = RecordingConnection::reply(100, 5);
    link->doDirectRequest(new Command(1, 135, 1, 0, 0, false, 12), &reply);
    QVERIFY(!reply.isValid());
    reply.setValid(true);
    Command request(1, 135, 1, 0, 0, false, 12);
    link->processRequest(&request, &reply);
    QVERIFY(!reply.isValid());
    link->openInterface(0);   // accepted and ignored
    link->doDirectRequest(nullptr, &reply);
    QVERIFY(!reply.isValid());
}

void tst_HostClasses::connectionFallsBackWhenGone()
{
    KROLModuleInterface module(TwoAxes());
    KROLConnectionInterface* unlinked = module.connectionInterface();
    QSignalSpy changed(&module, &KROLModuleInterface::connectionChanged);
    auto* link = new RecordingConnection;
    module.setConnectionInterface(link);
    QCOMPARE(module.connectionInterface(), link);
    QCOMPARE(changed.count(), 1);
    delete link;
    QCOMPARE(module.connectionInterface(), unlinked);
}

void tst_HostClasses::descriptionChangeIsAnnounced()
{
    KROLModuleInterface module(TwoAxes());
    QSignalSpy changed(&module, &KROLModuleInterface::parameterListChanged);
    ModuleDescription other;
    other.axes = 5;
    module.setDescription(other);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(module.numberOfAxes(), 5);
    QVERIFY(module.getParameterMapByName(QStringLiteral("global0")) == nullptr);
}

void tst_HostClasses::fromFileReportsErrors()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"name": "x", "axes": -3, "maps": {}})");
    file.close();
    QString error;
    QVERIFY(KROLModuleInterface::fromFile(path, &error) == nullptr);
    QCOMPARE(error, path + QStringLiteral(": \"axes\" must be from 0 to 255, not -3"));
}

void tst_HostClasses::toolRoutesRequests()
{
    KROLModuleInterface module(TwoAxes());
    RecordingConnection link;
    module.setConnectionInterface(&link);
    ProbeTool tool(&module, 6);
    QCOMPARE(int(tool.moduleAddress()), 6);
    QCOMPARE(tool.module(), &module);
    QCOMPARE(tool.connection(), &link);
    QCOMPARE(tool.commandHandler(), &link);
    QVERIFY(tool.objectName().isEmpty());   // the tool's name is not its object name
    QCOMPARE(tool.toolName(), QStringLiteral("probe"));
    QCOMPARE(int(tool.toolsType()), 8);

    RecordingConnection hostHandler;
    tool.setCommandHandler(&hostHandler);
    QCOMPARE(tool.commandHandler(), &hostHandler);
    QCOMPARE(tool.connection(), &link);
    QVERIFY(tool.isAxisUsed());
    tool.setAxisUnused();
    QVERIFY(!tool.isAxisUsed());
}

void tst_HostClasses::toolWithoutModule()
{
    ProbeTool tool(nullptr);
    QVERIFY(tool.connection() != nullptr);
    QVERIFY(tool.commandHandler() != nullptr);
    Command reply = RecordingConnection::reply(100);
    tool.commandHandler()->doDirectRequest(new Command(0, 129, 0, 0, 0, false, 12), &reply);
    QVERIFY(!reply.isValid());
    QVERIFY(tool.clone(QStringLiteral("x"), 1, nullptr) == nullptr);
}

void tst_HostClasses::importFilters()
{
    KROLModuleInterface module(TwoAxes());
    KROLModuleInterface otherModule(TwoAxes());
    ProbeTool tool(&module);
    tool.addImportFilter(new ImportFilter_SameModule(&tool));
    tool.addImportFilter(new ImportFilter_SpecificExportTypes({&ExportTypes::KROLScript}));
    QCOMPARE(tool.importFilters().size(), 2);

    ProbeTool sameModule(&module);
    ProbeTool otherTool(&otherModule);
    QWidget panelChild(&sameModule);
    QObject byProperty;
    byProperty.setProperty("krolModule", QVariant::fromValue<QObject*>(&module));
    const ExportType other(QStringLiteral("Position"));

    QVERIFY(tool.acceptsImport(&ExportTypes::KROLScript, &sameModule));
    QVERIFY(tool.acceptsImport(&ExportTypes::KROLScript, &panelChild));
    QVERIFY(tool.acceptsImport(&ExportTypes::KROLScript, &byProperty));
    QVERIFY(tool.acceptsImport(&ExportTypes::KROLScript, &module));
    QVERIFY(!tool.acceptsImport(&ExportTypes::KROLScript, &otherTool));
    QVERIFY(!tool.acceptsImport(&ExportTypes::KROLScript, nullptr));
    QVERIFY(!tool.acceptsImport(&other, &sameModule));
    QVERIFY(!tool.acceptsImport(nullptr, &sameModule));

    ProbeTool noFilters(&module);
    QVERIFY(!noFilters.acceptsImport(&ExportTypes::KROLScript, &sameModule));
}

void tst_HostClasses::importFilterOwnership()
{
    QPointer<ImportFilter> parented;
    QPointer<ImportFilter> orphan;
    {
        ProbeTool tool(nullptr);
        parented = new ImportFilter_SameModule(&tool);
        orphan = new ImportFilter_SpecificExportTypes({&ExportTypes::KROLScript});
        tool.addImportFilter(parented);
        tool.addImportFilter(orphan);
        tool.addImportFilter(orphan);   // once is enough
        QCOMPARE(tool.importFilters().size(), 2);
    }
    QVERIFY(parented.isNull());
    QVERIFY(orphan.isNull());
}

void tst_HostClasses::settingsStayInKrolHome()
{
    const QString home = qEnvironmentVariable("KROL_HOME");
    QCOMPARE(AppSettings::homePath(), home);

    QString fileName;
    {
        AppSettings settings;
        QCOMPARE(settings.organizationName(), QStringLiteral("KROL"));
        settings.endGroup();   // no group open: nothing happens
        settings.beginGroup(QLatin1String(SettingsGroup::KROLCreator));
        settings.setValue(QStringLiteral("AnimationDelay"), 25);
        settings.endGroup();
        QVERIFY(settings.group().isEmpty());
        settings.sync();
        fileName = settings.fileName();
    }
    QVERIFY2(fileName.startsWith(home + QLatin1Char('/')), qPrintable(fileName));
    AppSettings again;
    QCOMPARE(again.value(QStringLiteral("Tools_KROLCreator/AnimationDelay")).toInt(), 25);
}

void tst_HostClasses::lowLevelSwitchIsOffByDefault()
{
    QCOMPARE(QLatin1String(debLowLevel().categoryName()), QLatin1String("krol.host.lowlevel"));
    QVERIFY(!debLowLevel().isDebugEnabled());
    QVERIFY(debLowLevel().isWarningEnabled());
}

QTEST_MAIN(tst_HostClasses)
#include "tst_hostclasses.moc"

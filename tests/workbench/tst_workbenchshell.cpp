#include "AppSettings.h"
#include "CaseFile.h"
#include "WorkbenchTest.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>

// The workbench as a host sees it: the plug-in file, its entry, and the form of a clone for
// the virtual module, read through object names only.
class tst_WorkbenchShell : public WorkbenchTest
{
    Q_OBJECT

public:
    tst_WorkbenchShell() : WorkbenchTest(3) {}

private slots:
    void entry();
    void actions_data();
    void actions();
    void menus_data();
    void menus();
    void layout();
    void metaObject();
    void setEnabled();
    void autostartMenu_data();
    void autostartMenu();
    void examplesCopiedWithoutOverwriting();

private:
    QStringList entries(const QList<QAction*>& actions) const;
};

void tst_WorkbenchShell::entry()
{
    QCOMPARE(m_plugin.metaData().value(QStringLiteral("className")).toString(), QStringLiteral("KROLCreator"));
    QCOMPARE(m_plugin.metaData().value(QStringLiteral("IID")).toString(),
             QStringLiteral("krol.host.ToolsInterface/2.0"));
    QPluginLoader second(PluginFixture::pluginPath());
    QCOMPARE(second.instance(), static_cast<QObject*>(m_plugin.prototype()));

    ToolsInterface* prototype = m_plugin.prototype();
    QCOMPARE(prototype->toolName(), QStringLiteral("undefined"));
    QVERIFY(prototype->findChildren<QAction*>().isEmpty());
    QVERIFY(prototype->objectName().isEmpty());
    QCOMPARE(prototype->version().size(), 94);
    QCOMPARE(prototype->version(),
             QStringLiteral("4.6.0 - tools_krol_creator;Plugin-Interface.4.6.0.tools_krol_creator;Plugin ;Plugin.Interface."));

    QCOMPARE(m_tool->toolName(), QStringLiteral("Module 3"));
    QCOMPARE(m_tool->title(), QStringLiteral("KROL creator"));
    QCOMPARE(int(m_tool->toolsType()), 8);
    QCOMPARE(int(m_tool->id()), 3);
    QCOMPARE(m_tool->module(), m_plugin.module());
    QCOMPARE(m_tool->iconResource(), QStringLiteral(":/moreIcons/NewPageCode"));
    QVERIFY(!m_tool->isAxisUsed());
    QCOMPARE(m_tool->objectName(), QStringLiteral("KROLCreator"));
    QCOMPARE(m_tool->windowTitle(), QStringLiteral("Form"));
    QCOMPARE(m_tool->property("dpWindowSize").toSize(), QSize(700, 400));
    QCOMPARE(m_tool->property("dpWindowFlags"), QVariant(uint(Qt::SubWindow)));
    QCOMPARE(m_tool->importFilters().size(), 2);
    QVERIFY(m_tool->acceptsImport(&ExportTypes::KROLScript, m_tool.get()));
}

// tests/cases/workbench-actions.cases.
void tst_WorkbenchShell::actions_data()
{
    AddCaseRows("workbench-actions.cases");
}

void tst_WorkbenchShell::actions()
{
    QFETCH(QStringList, results);
    const QMap<QString, QString> p = CaseItems(results, {{"enabled", "true"}, {"checkable", "false"}, {"ignore_colours", "false"}});
    const QString text = p.value("text");
    const QString shortcut = p.value("shortcut");
    const QString icon = p.contains("icon") ? ":/Editor/Buttons/" + p.value("icon") : QString();
    const bool enabled = p.value("enabled") == "true";
    const bool checkable = p.value("checkable") == "true";
    const bool ignoreColours = p.value("ignore_colours") == "true";

    const QString name = QString::fromLatin1(QTest::currentDataTag()).section(": ", 1);
    auto* action = m_tool->findChild<QAction*>(name);
    QVERIFY(action != nullptr);
    QCOMPARE(action->parent(), static_cast<QObject*>(m_tool.get()));
    QCOMPARE(action->text(), text);
    QCOMPARE(action->shortcut().toString(), shortcut);
    QCOMPARE(action->icon().isNull(), icon.isEmpty());
    if (!icon.isEmpty()) {
        QVERIFY2(QFile::exists(icon), qPrintable(icon));
        QCOMPARE(action->icon().pixmap(16).toImage(), QIcon(icon).pixmap(16).toImage());
    }
    QCOMPARE(action->isCheckable(), checkable);
    QVERIFY(!action->isChecked());
    QCOMPARE(action->property("dpIgnCol").toBool(), ignoreColours);
    if (name == QLatin1String("actionLoad")) {
        QCOMPARE(action->iconText(), QStringLiteral("Open"));
        QCOMPARE(action->toolTip(), QStringLiteral("Open file"));
    }
    const bool printable = QPrinter(QPrinter::ScreenResolution).outputFormat() == QPrinter::NativeFormat;
    const bool visible = name != QLatin1String("actionPrint") || printable;
    QCOMPARE(action->isVisible(), visible);
    // A hidden action counts as disabled.
    QCOMPARE(action->isEnabled(), enabled && visible);
}

QStringList tst_WorkbenchShell::entries(const QList<QAction*>& actions) const
{
    QStringList names;
    for (QAction* a : actions)
        names << (a->isSeparator() ? QStringLiteral("-") : a->menu() ? a->menu()->objectName() : a->objectName());
    return names;
}

// tests/cases/workbench-menus.cases.
void tst_WorkbenchShell::menus_data()
{
    AddCaseRows("workbench-menus.cases");
}

void tst_WorkbenchShell::menus()
{
    QFETCH(QStringList, results);
    QVERIFY2(results.size() == 2 && results[0].startsWith("title=") && results[1].startsWith("entries="),
             "\"-> title=TITLE\", then \"-> entries=NAMES\"");
    const QString title = results[0].mid(6);
    const QString entries = results[1].mid(8);
    auto* widget = m_tool->findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()).section(": ", 1));
    QVERIFY(widget != nullptr);
    QCOMPARE(this->entries(widget->actions()), entries.split(QLatin1Char(' ')));
    if (auto* menu = qobject_cast<QMenu*>(widget))
        QCOMPARE(menu->title(), title);
    if (auto* bar = qobject_cast<QToolBar*>(widget)) {
        QCOMPARE(bar->windowTitle(), title);
        QCOMPARE(bar->iconSize(), QSize(16, 16));
        QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonIconOnly);
    }
}

void tst_WorkbenchShell::layout()
{
    auto* box = qobject_cast<QVBoxLayout*>(m_tool->layout());
    QVERIFY(box != nullptr);
    QCOMPARE(box->objectName(), QStringLiteral("verticalLayout"));
    QCOMPARE(box->spacing(), 1);
    QCOMPARE(box->contentsMargins(), QMargins());
    QStringList order;
    for (int i = 0; i < box->count(); ++i)
        order << QString::fromLatin1(box->itemAt(i)->widget()->metaObject()->className());
    QCOMPARE(order.mid(0, 3), QStringList({"QMenuBar", "QToolBar", "QTabWidget"}));
    QCOMPARE(order.last(), QStringLiteral("QStatusBar"));

    auto* tabs = m_tool->findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    QVERIFY(tabs->documentMode());
    QVERIFY(tabs->tabsClosable());
    QCOMPARE(tabs->count(), 1);
    QCOMPARE(tabs->tabText(0), QStringLiteral("[New File 1]"));

    auto* status = m_tool->findChild<QStatusBar*>();
    QStringList texts;
    for (QLabel* l : status->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        texts << l->text();
    QCOMPARE(texts, QStringList({"1:1", "Original", "Insert", "", "", "", ""}));
}

void tst_WorkbenchShell::metaObject()
{
    const QMetaObject* meta = m_tool->metaObject();
    QCOMPARE(meta->className(), "KROLCreator");
    QCOMPARE(meta->superClass(), &ToolsInterface::staticMetaObject);
    QVERIFY(m_tool->qt_metacast("krol.host.ToolsInterface/2.0") == m_tool.get());

    QVector<TCase> cases;
    QString error;
    QVERIFY2(ReadCaseFile("workbench-methods.cases", &cases, &error), qPrintable(error));
    QStringList actual;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        QStringList params;
        for (int p = 0; p < m.parameterCount(); ++p)
            params << QString::fromLatin1(m.parameterTypes().at(p) + ' ' + m.parameterNames().at(p));
        const char* kind = m.methodType() == QMetaMethod::Signal ? (m.access() == QMetaMethod::Public ? "signal" : "?")
                           : m.access() == QMetaMethod::Private ? "private" : m.access() == QMetaMethod::Public ? "public" : "?";
        actual << QStringLiteral("%1 %2(%3)").arg(QLatin1String(kind), QString::fromLatin1(m.name()), params.join(QLatin1Char(',')));
    }
    QCOMPARE(actual, cases.value(0).Body);
}

void tst_WorkbenchShell::setEnabled()
{
    const QStringList followers = {"actionDownload", "actionDisassemble", "actionDebugger_active"};
    const QStringList others = {"actionAssemble", "actionRun", "actionStop", "actionContinue"};
    auto* debug = m_tool->findChild<QMenu*>(QStringLiteral("menuDebug"));
    for (bool enabled : {false, true}) {
        m_tool->setEnabled(enabled);
        for (const QString& name : followers)
            QCOMPARE(m_tool->findChild<QAction*>(name)->isEnabled(), enabled);
        QCOMPARE(debug->isEnabled(), enabled);
        QCOMPARE(debug->menuAction()->isEnabled(), enabled);
        for (const QString& name : others)
            QVERIFY(m_tool->findChild<QAction*>(name)->isEnabled());
        QVERIFY(m_tool->isEnabled());
    }
}

void tst_WorkbenchShell::autostartMenu_data()
{
    QTest::addColumn<QByteArray>("globals");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("auto start in global0") << QByteArray(R"({"global0": {"par::auto start mode": {"number": 77}}})") << true;
    QTest::newRow("other key") << QByteArray(R"({"global0": {"par::auto start": {"number": 77}}})") << false;
    QTest::newRow("in global1") << QByteArray(R"({"global1": {"par::auto start mode": {"number": 77}}})") << false;
    QTest::newRow("no maps") << QByteArray("{}") << false;
}

// At construction and whenever the host says the parameter description changed.
void tst_WorkbenchShell::autostartMenu()
{
    QFETCH(QByteArray, globals);
    QFETCH(bool, enabled);
    const QString path = m_dir.write(QStringLiteral("m.json"), R"({"name": "M", "axes": 1, "maps": )" + globals + "}");
    QString error;
    m_tool.reset();
    m_tool = m_plugin.clone(path, 1, &error);
    QVERIFY2(m_tool, qPrintable(error));
    auto* menu = m_tool->findChild<QMenu*>(QStringLiteral("menuAutostart"));
    QCOMPARE(menu->isEnabled(), enabled);

    KROLModuleInterface* virtualModule = KROLModuleInterface::fromFile(PluginFixture::modulePath("virtual.json"), &error);
    QVERIFY2(virtualModule, qPrintable(error));
    m_plugin.module()->setDescription(virtualModule->description());
    delete virtualModule;
    m_tool->handleChangedParameterList();
    QVERIFY(menu->isEnabled());
}

void tst_WorkbenchShell::examplesCopiedWithoutOverwriting()
{
    const QString examples = AppSettings::homePath() + QStringLiteral("/Examples/");
    QFile kept(examples + QStringLiteral("KROLParam.kro"));
    QVERIFY(kept.open(QIODevice::WriteOnly | QIODevice::Truncate));
    kept.write("MY_OWN = 1\n");
    kept.close();
    QFile::remove(examples + QStringLiteral("Interrupts.inc"));

    makeWorkbench();
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("MY_OWN = 1\n"));
    QFile copied(examples + QStringLiteral("Interrupts.inc"));
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QFile resource(QStringLiteral(":/KROL_Examples/Examples/Interrupts.inc"));
    QVERIFY(resource.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), resource.readAll());
}

QTEST_MAIN(tst_WorkbenchShell)
#include "tst_workbenchshell.moc"

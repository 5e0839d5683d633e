#include "AppSettings.h"
#include "AxisPanel.h"
#include "CodeEditor.h"
#include "DirectModeChoices.h"
#include "DirectModePanel.h"
#include "IconTheme.h"
#include "KROLModuleInterface.h"
#include "MainWindow.h"
#include "ModalAnswerer.h"
#include "ModuleSession.h"
#include "PluginFixture.h"
#include "SharedConnection.h"
#include "ToolsInterface.h"
#include "VirtualConnection.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The application's window in this process, on the plug-in and virtual module of this build.
class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void startsWithTheVirtualWorkbench();
    void startModule_data();
    void startModule();
    void pluginFolder_data();
    void pluginFolder();
    void brokenPluginIsReported();
    void moduleDescription_data();
    void moduleDescription();
    void linkComesAndGoes();
    void scriptedSession();
    void debugToBreakpoint();
    void layoutComesBack();
    void closeModule();
    void directMode_data();
    void directMode();
    void directModeChoices_data();
    void directModeChoices();
    void iconsFollowThePalette_data();
    void iconsFollowThePalette();
    void terminationSignal_data();
    void terminationSignal();

private:
    std::unique_ptr<MainWindow> startWindow(IdeOptions options = {});
    static void trigger(ToolsInterface* tool, const char* action) { tool->findChild<QAction*>(action)->trigger(); }
    QString writeFile(const QString& name, const QByteArray& content);

    QTemporaryDir m_home;
};

void tst_MainWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_home.isValid());
    qputenv("KROL_HOME", m_home.path().toUtf8());
}

void tst_MainWindow::init()
{
    AppSettings settings;
    settings.clear();
    // The transfer window closes by itself; the Assembler window waits for OK.
    settings.setValue(QStringLiteral("Tools_KROLCreator/ConfirmDownload"), false);
}

std::unique_ptr<MainWindow> tst_MainWindow::startWindow(IdeOptions options)
{
    options.realTime = false;
    auto window = std::make_unique<MainWindow>(options);
    window->start();
    window->show();
    return window;
}

QString tst_MainWindow::writeFile(const QString& name, const QByteArray& content)
{
    QFile file(m_home.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return QString();
    return file.fileName();
}

void tst_MainWindow::startsWithTheVirtualWorkbench()
{
    auto window = startWindow({QString(), QString(), false, false});
    QCOMPARE(window->plugins().failures(), QStringList());
    QCOMPARE(window->plugins().prototypes().size(), 1);
    QCOMPARE(window->sessions().size(), 1);
    ModuleSession* session = window->sessions().first();
    QCOMPARE(session->module()->moduleName(), QStringLiteral("Virtual module"));
    QVERIFY(session->virtualConnection() != nullptr);
    QCOMPARE(session->tools().size(), 1);
    ToolsInterface* tool = session->tools().first();
    QCOMPARE(tool->objectName(), QStringLiteral("KROLCreator"));
    QCOMPARE(tool->module(), session->module());
    QMdiSubWindow* frame = window->windowOf(tool);
    QVERIFY(frame != nullptr && frame->isVisible());
    QCOMPARE(tool->size(), tool->property("dpWindowSize").toSize());
    QCOMPARE(session->axisPanel()->axisCount(), 3);
    // The workbench's module commands are on: the module is linked.
    QVERIFY(tool->findChild<QAction*>("actionDownload")->isEnabled());
}

void tst_MainWindow::startModule_data()
{
    QTest::addColumn<QByteArray>("description");   // written to start.json; empty: no file
    QTest::addColumn<QString>("name");             // the module's name; empty: none opens
    QTest::addColumn<QString>("message");          // part of the warning's text

    QTest::newRow("own description") << QByteArray(R"({"name": "Bench", "axes": 2, "maps": {}})") << "Bench" << "";
    QTest::newRow("missing file") << QByteArray() << "" << "start.json";
    QTest::newRow("fraction") << QByteArray(R"({"name": "Bench", "axes": 2.5, "maps": {}})") << "" << "axes";
    QTest::newRow("not JSON") << QByteArray("{") << "" << "start.json";
}

// A description given at start that cannot be loaded is reported without blocking; the
// window works without a module.
void tst_MainWindow::startModule()
{
    QFETCH(QByteArray, description);
    QFETCH(QString, name);
    QFETCH(QString, message);

    const QString path = m_home.filePath(QStringLiteral("start.json"));
    QFile::remove(path);
    if (!description.isEmpty())
        QCOMPARE(writeFile(QStringLiteral("start.json"), description), path);
    auto window = startWindow({QString(), path, false, false});
    auto* box = window->findChild<QMessageBox*>(QStringLiteral("moduleFailures"));
    QCOMPARE(window->sessions().size(), name.isEmpty() ? 0 : 1);
    QCOMPARE(box != nullptr, !message.isEmpty());
    if (!name.isEmpty()) {
        QCOMPARE(window->sessions().first()->module()->moduleName(), name);
        QCOMPARE(window->sessions().first()->axisPanel()->axisCount(), 2);
    } else {
        QVERIFY(!box->isModal());
        QVERIFY2(box->informativeText().contains(message), qPrintable(box->informativeText()));
    }
}

void tst_MainWindow::pluginFolder_data()
{
    QTest::addColumn<QStringList>("files");     // "plugin" copies the built plug-in, others get junk
    QTest::addColumn<int>("prototypes");
    QTest::addColumn<QStringList>("failing");   // file names reported

    QTest::newRow("the plug-in") << QStringList{"plugin"} << 1 << QStringList();
    QTest::newRow("broken library beside it") << QStringList{"libbroken.so", "plugin"} << 1
                                              << QStringList{"libbroken.so"};
    QTest::newRow("empty library") << QStringList{"libempty.so"} << 0 << QStringList{"libempty.so"};
    QTest::newRow("not a library") << QStringList{"README.txt", "plugin"} << 1 << QStringList();
    QTest::newRow("empty folder") << QStringList() << 0 << QStringList();
}

void tst_MainWindow::pluginFolder()
{
    QFETCH(QStringList, files);
    QFETCH(int, prototypes);
    QFETCH(QStringList, failing);

    QTemporaryDir folder;
    for (const QString& name : files) {
        if (name == QLatin1String("plugin")) {
            QVERIFY(QFile::copy(PluginFixture::pluginPath(), folder.filePath(QStringLiteral("libKROLCreator.so"))));
            continue;
        }
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (name != QLatin1String("libempty.so"))
            file.write(QByteArray(4096, '\x7f'));
    }
    ToolPlugins plugins;
    plugins.load(folder.path());
    QCOMPARE(plugins.prototypes().size(), prototypes);
    QCOMPARE(plugins.failures().size(), failing.size());
    for (int i = 0; i < failing.size(); ++i) {
        QVERIFY2(plugins.failures()[i].startsWith(folder.filePath(failing[i]) + QStringLiteral(": ")),
                 qPrintable(plugins.failures()[i]));
        QVERIFY(plugins.failures()[i].size() > folder.filePath(failing[i]).size() + 2);   // a reason
    }
}

void tst_MainWindow::brokenPluginIsReported()
{
    QTemporaryDir folder;
    QVERIFY(QFile::copy(PluginFixture::pluginPath(), folder.filePath(QStringLiteral("libKROLCreator.so"))));
    QFile broken(folder.filePath(QStringLiteral("libAbroken.so")));
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("not a library") > 0);
    broken.close();

    auto window = startWindow({folder.path(), QString(), false, false});
    auto* box = window->findChild<QMessageBox*>(QStringLiteral("pluginFailures"));
    QVERIFY(box != nullptr);
    QVERIFY(!box->isModal());
    QVERIFY2(box->detailedText().startsWith(broken.fileName() + QStringLiteral(": ")), qPrintable(box->detailedText()));
    // The rest still loads: the virtual module has its workbench.
    QCOMPARE(window->sessions().first()->tools().size(), 1);
}

void tst_MainWindow::moduleDescription_data()
{
    QTest::addColumn<QByteArray>("reloaded");    // the file's text when it is read again
    QTest::addColumn<int>("axes");               // axis rows afterwards
    QTest::addColumn<QString>("error");          // part of the message; empty: success

    QTest::newRow("two axes") << QByteArray(R"({"name": "Two", "axes": 2, "maps": {}})") << 2 << QString();
    QTest::newRow("malformed") << QByteArray(R"({"name": "Two", "axes": 2, "maps": {"axis0": {"par::A": {}}}})")
                               << 1 << QStringLiteral("number");
    QTest::newRow("gone") << QByteArray() << 1 << QStringLiteral("desc.json");
}

void tst_MainWindow::moduleDescription()
{
    QFETCH(QByteArray, reloaded);
    QFETCH(int, axes);
    QFETCH(QString, error);

    QFile source(PluginFixture::modulePath(QStringLiteral("virtual.json")));
    QVERIFY(source.open(QIODevice::ReadOnly));
    QByteArray text = source.readAll();
    text.replace("\"axes\": 3", "\"axes\": 1");
    const QString path = writeFile(QStringLiteral("desc.json"), text);
    QVERIFY(!path.isEmpty());

    auto window = startWindow({QString(), path, false, false});
    QCOMPARE(window->sessions().size(), 1);
    ModuleSession* session = window->sessions().first();
    QCOMPARE(session->axisPanel()->axisCount(), 1);

    if (reloaded.isEmpty())
        QVERIFY(QFile::remove(path));
    else
        QCOMPARE(writeFile(QStringLiteral("desc.json"), reloaded), path);
    QString message;
    QCOMPARE(session->reloadDescription(&message), error.isEmpty());
    QVERIFY2(message.contains(error), qPrintable(message));
    QCOMPARE(session->axisPanel()->axisCount(), axes);
    QCOMPARE(session->module()->numberOfAxes(), axes);
    // The workbench rebuilt its lists: the new description has no auto start parameter.
    QCOMPARE(session->tools().first()->findChild<QMenu*>(QStringLiteral("menuAutostart"))->isEnabled(),
             !error.isEmpty());
    // A second module from another description gets its own workbench and address.
    QString second;
    ModuleSession* other = window->openModule(PluginFixture::modulePath(QStringLiteral("virtual.json")), &second);
    QVERIFY2(other != nullptr, qPrintable(second));
    QCOMPARE(other->address(), 2);
    QCOMPARE(window->sessions().size(), 2);
    QCOMPARE(other->tools().size(), 1);
    QVERIFY(window->openModule(m_home.filePath(QStringLiteral("none.json")), &second) == nullptr);
    QVERIFY2(second.contains(QStringLiteral("none.json")), qPrintable(second));
    QCOMPARE(window->sessions().size(), 2);
}

void tst_MainWindow::linkComesAndGoes()
{
    auto window = startWindow({QString(), QString(), false, false});
    ModuleSession* session = window->sessions().first();
    ToolsInterface* tool = session->tools().first();
    QAction* download = tool->findChild<QAction*>("actionDownload");
    QAction* assemble = tool->findChild<QAction*>("actionAssemble");
    const QList<bool> steps{false, false, true, false, true};
    for (bool linked : steps) {
        session->setLinked(linked);
        QCOMPARE(session->isLinked(), linked);
        QCOMPARE(download->isEnabled(), linked);
        QVERIFY(assemble->isEnabled());
    }
}

void tst_MainWindow::scriptedSession()
{
    auto window = startWindow({QString(), QString(), false, false});
    ModuleSession* session = window->sessions().first();
    ToolsInterface* tool = session->tools().first();
    VirtualModule& module = session->virtualConnection()->module();
    ModalAnswerer answers;
    answers.leave(QStringLiteral("UploadDownload"));   // closes by itself

    QVERIFY(window->openExample(QStringLiteral("moves.kro")));
    auto* tabs = tool->findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("moves.kro"));
    QVERIFY(QFile::exists(m_home.filePath(QStringLiteral("Examples/virtual-module.inc"))));

    answers.click(QStringLiteral("OK"));
    trigger(tool, "actionAssemble");
    trigger(tool, "actionDownload");
    QCOMPARE(answers.pending(), 0);
    QVERIFY(module.programLength() > 20);
    trigger(tool, "actionRun");
    QCOMPARE(module.state(), VirtualModule::Running);
    module.advance(300);
    // The panel's requests take no module time, so it reads the state the module is in.
    session->virtualConnection()->setQuantumMs(0);
    AxisPanel* axes = session->axisPanel();
    axes->refresh();
    QVERIFY(module.axisParameter(0, 1) != 0);
    for (int axis = 0; axis < 3; ++axis) {
        QCOMPARE(axes->cellText(axis, AxisPanel::Position), QString::number(module.axisParameter(axis, 1)));
        QCOMPARE(axes->cellText(axis, AxisPanel::Velocity), QString::number(module.axisParameter(axis, 3)));
        QCOMPARE(axes->cellText(axis, AxisPanel::ReferenceSwitch),
                 module.axisParameter(axis, 9) ? QStringLiteral("on") : QStringLiteral("off"));
    }

    // Quitting asks about the modified page before anything goes.
    tabs->currentWidget()->findChild<QPlainTextEdit*>()->appendPlainText(QStringLiteral("// more"));
    answers.press(QMessageBox::Discard);
    QVERIFY(window->close());
    QCOMPARE(answers.pending(), 0);
    QCOMPARE(answers.unexpected(), 0);
    QCOMPARE(answers.seen().last().text, QStringLiteral("The file \"moves.kro\" has been modified but not saved."));
}

// The debugger runs the example to a breakpoint on the module, whose time passes with each of
// the debugger's requests here (no real clock): the line is marked and the axes are where the
// program put them.
void tst_MainWindow::debugToBreakpoint()
{
    auto window = startWindow({QString(), QString(), false, false});
    ModuleSession* session = window->sessions().first();
    ToolsInterface* tool = session->tools().first();
    VirtualModule& module = session->virtualConnection()->module();
    ModalAnswerer answers;
    answers.leave(QStringLiteral("UploadDownload"));
    QVERIFY(window->openExample(QStringLiteral("moves.kro")));
    auto* editor = tool->findChild<QTabWidget*>(QStringLiteral("tabWidget"))->currentWidget()->findChild<CodeEditor*>();
    QVERIFY(editor->toPlainText().split(QLatin1Char('\n')).value(18).contains(QStringLiteral("CALC SUB, 1")));

    trigger(tool, "actionDebugger_active");
    QVERIFY(tool->findChild<QAction*>("actionDebugger_active")->isChecked());
    emit editor->breakpointClick(19);
    trigger(tool, "actionRun_Continue");
    QCOMPARE(answers.unexpected(), 0);
    QCOMPARE(editor->execLine(), 19);
    QCOMPARE(module.state(), VirtualModule::Halted);
    QCOMPARE(module.registers().A, 4);
    session->virtualConnection()->setQuantumMs(0);
    session->axisPanel()->refresh();
    QCOMPARE(session->axisPanel()->cellText(0, AxisPanel::Position), QStringLiteral("0"));
    QCOMPARE(session->axisPanel()->cellText(1, AxisPanel::Velocity), QStringLiteral("0"));
    QVERIFY(module.timeMs() > 1000);   // four moves of a square's side
}

void tst_MainWindow::layoutComesBack()
{
    const QString second = PluginFixture::modulePath(QStringLiteral("virtual.json"));
    QRect geometry;
    {
        auto window = startWindow({QString(), QString(), false, true});
        QString error;
        QVERIFY(window->openModule(second, &error));
        QMdiSubWindow* frame = window->windowOf(window->sessions().first()->tools().first());
        frame->setGeometry(QRect(20, 30, 640, 380));
        geometry = frame->geometry();
        window->windowOf(window->sessions().last()->tools().first())->close();
        QVERIFY(window->close());
    }
    auto window = startWindow({QString(), QString(), false, true});
    QCOMPARE(window->sessions().size(), 2);
    QCOMPARE(window->windowOf(window->sessions().first()->tools().first())->geometry(), geometry);
    QVERIFY(!window->windowOf(window->sessions().last()->tools().first())->isVisible());
    // Without restoring: the default module alone.
    auto fresh = startWindow({QString(), QString(), false, false});
    QCOMPARE(fresh->sessions().size(), 1);
}

void tst_MainWindow::closeModule()
{
    auto window = startWindow({QString(), QString(), false, false});
    ModuleSession* first = window->sessions().first();
    QString error;
    ModuleSession* second = window->openModule(PluginFixture::modulePath(QStringLiteral("virtual.json")), &error);
    QVERIFY2(second, qPrintable(error));
    QPointer<ToolsInterface> tool = second->tools().first();
    QPointer<DirectModePanel> panel = second->directPanel();
    tool->findChild<QTabWidget*>()->currentWidget()->findChild<QPlainTextEdit*>()->appendPlainText(QStringLiteral("x"));
    ModalAnswerer answers;
    answers.press(QMessageBox::Discard);
    auto* close = window->findChild<QAction*>("actionCloseModule");
    close->trigger();
    QCOMPARE(answers.pending(), 0);
    QCOMPARE(window->sessions(), QList<ModuleSession*>{first});
    QCOMPARE(window->currentSession(), first);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!tool && !panel);
    close->trigger();
    QVERIFY(window->sessions().isEmpty() && !close->isEnabled());
}

void tst_MainWindow::directMode_data()
{
    QTest::addColumn<QList<int>>("request");   // opcode, type, motor/bank, value
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("line");         // what the workbench page gets
    QTest::addColumn<int>("axis");             // an axis parameter to read afterwards: axis, number, value
    QTest::addColumn<QList<int>>("after");

    QTest::newRow("rotate") << QList<int>{1, 0, 0, 500} << "Reply: status 100 done, value 500"
                            << "ROR 0, 500" << 0 << QList<int>{2, 500};
    QTest::newRow("set a parameter") << QList<int>{5, 4, 1, 1234} << "Reply: status 100 done, value 1234"
                                     << "SAP 4, 1, 1234" << 1 << QList<int>{4, 1234};
    QTest::newRow("read a parameter") << QList<int>{6, 5, 2, 0} << "Reply: status 100 done, value 1000000"
                                      << "GAP 5, 2" << 2 << QList<int>{5, 1000000};
    QTest::newRow("move with a keyword") << QList<int>{4, 1, 0, -300} << "Reply: status 100 done, value -300"
                                         << "MVP REL, 0, -300" << 0 << QList<int>{0, -300};
    QTest::newRow("unknown parameter") << QList<int>{5, 99, 0, 1} << "Reply: status 3 wrong type, value 0"
                                       << "SAP 99, 0, 1" << 0 << QList<int>{4, 100000};
}

void tst_MainWindow::directMode()
{
    QFETCH(QList<int>, request);
    QFETCH(QString, reply);
    QFETCH(QString, line);
    QFETCH(int, axis);
    QFETCH(QList<int>, after);

    auto window = startWindow({QString(), QString(), false, false});
    ModuleSession* session = window->sessions().first();
    DirectModePanel* panel = session->directPanel();
    QVERIFY(panel->setRequest(request[0], request[1], request[2], request[3]));
    QCOMPARE(panel->line(), line);
    QVERIFY(panel->send());
    QCOMPARE(panel->replyText(), reply);
    QCOMPARE(session->virtualConnection()->module().axisParameter(axis, after[0]), after[1]);

    // The line arrives at the end of the workbench's current page, without the placeholder.
    ToolsInterface* tool = session->tools().first();
    auto* tabs = tool->findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    auto* editor = tabs->currentWidget()->findChild<QPlainTextEdit*>();
    editor->setPlainText(QStringLiteral("// first"));
    panel->exportLine();
    QCOMPARE(editor->toPlainText(), QStringLiteral("// first\n") + line);

    // A second module's panel does not reach this workbench.
    QString error;
    ModuleSession* other = window->openModule(PluginFixture::modulePath(QStringLiteral("virtual.json")), &error);
    QVERIFY2(other, qPrintable(error));
    other->directPanel()->exportLine();
    QCOMPARE(editor->toPlainText(), QStringLiteral("// first\n") + line);

    // While a transfer holds the link the panel sends nothing.
    session->sharedLink()->openInterface(0);
    QVERIFY(!panel->send());
    QVERIFY(panel->replyText().contains(QStringLiteral("busy")));
    session->sharedLink()->openInterface(1);
    QVERIFY(panel->send());
}

void tst_MainWindow::directModeChoices_data()
{
    QTest::addColumn<QString>("commands");     // the description's "DirectModeCommands"
    QTest::addColumn<QList<int>>("offered");

    QTest::newRow("flow control left out") << "1,21,22,6,27,28,5" << QList<int>{1, 5, 6};
    QTest::newRow("unknown and repeated") << "300,x,, 4,4,63" << QList<int>{4};
    QTest::newRow("none") << "" << QList<int>();
}

void tst_MainWindow::directModeChoices()
{
    QFETCH(QString, commands);
    QFETCH(QList<int>, offered);

    ModuleDescription description;
    description.name = QStringLiteral("Test");
    description.axes = 2;
    Parameter list;
    list.name = commands;
    description.maps[QStringLiteral("module")][QStringLiteral("DirectModeCommands")] = list;
    Parameter speed;
    speed.number = 4;
    speed.name = QStringLiteral("Max speed");
    description.maps[QStringLiteral("axis1")][QStringLiteral("par::MaxSpeed")] = speed;
    description.maps[QStringLiteral("axis1")][QStringLiteral("other")] = speed;
    KROLModuleInterface module(description);
    QCOMPARE(DirectModeChoices::instructions(&module), offered);

    // Types: parameters of the motor's map, keywords of the instruction, or nothing.
    QCOMPARE(DirectModeChoices::types(&module, 5, 1).size(), 1);
    QCOMPARE(DirectModeChoices::types(&module, 5, 1).first().text, QStringLiteral("4 Max speed"));
    QCOMPARE(DirectModeChoices::types(&module, 5, 0).size(), 0);
    QCOMPARE(DirectModeChoices::types(&module, 4, 0).first().text, QStringLiteral("ABS"));
    QCOMPARE(DirectModeChoices::types(&module, 1, 0).size(), 0);
    QCOMPARE(DirectModeChoices::motorLabel(9), QStringLiteral("Bank"));
    QCOMPARE(DirectModeChoices::statusText(4), QStringLiteral("4 invalid value"));
    QCOMPARE(DirectModeChoices::statusText(77), QStringLiteral("77"));
    QCOMPARE(DirectModeChoices::line(4, 9, 0, 1), QString());
}

void tst_MainWindow::iconsFollowThePalette_data()
{
    QTest::addColumn<QColor>("window");
    QTest::addColumn<bool>("recoloured");

    QTest::newRow("light") << QColor(240, 240, 240) << false;
    QTest::newRow("dark") << QColor(40, 40, 40) << true;
}

void tst_MainWindow::iconsFollowThePalette()
{
    QFETCH(QColor, window);
    QFETCH(bool, recoloured);

    PluginFixture plugin;
    QString error;
    QVERIFY2(plugin.load(&error), qPrintable(error));
    std::unique_ptr<ToolsInterface> tool = plugin.clone(PluginFixture::modulePath(QStringLiteral("virtual.json")), 1, &error);
    QVERIFY2(tool, qPrintable(error));
    QAction* keep = tool->findChild<QAction*>("actionSave");            // "dpIgnCol"
    QAction* change = tool->findChild<QAction*>("actionAssemble");
    const QImage keepBefore = keep->icon().pixmap(16).toImage();
    const QImage changeBefore = change->icon().pixmap(16).toImage();
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    const int changed = IconTheme::apply(tool.get(), palette);
    QCOMPARE(changed > 0, recoloured);
    QCOMPARE(keep->icon().pixmap(16).toImage() == keepBefore, true);
    QCOMPARE(change->icon().pixmap(16).toImage() == changeBefore, !recoloured);
    // The window follows later palette changes; a light one brings the icons back as drawn.
    auto ide = startWindow({QString(), QString(), false, false});
    QAction* assemble = ide->sessions().first()->tools().first()->findChild<QAction*>("actionAssemble");
    ide->setPalette(palette);
    QCOMPARE(assemble->icon().pixmap(16).toImage() == changeBefore, !recoloured);
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    ide->setPalette(palette);
    QCOMPARE(assemble->icon().pixmap(16).toImage(), changeBefore);
}

void tst_MainWindow::terminationSignal_data()
{
    QTest::addColumn<int>("signal");

    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

// The real program, offscreen: it stays up until the signal and then quits as when its window
// is closed (the layout is saved), with exit status 0.
void tst_MainWindow::terminationSignal()
{
    QFETCH(int, signal);

    QTemporaryDir home;
    QProcess ide;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KROL_HOME"), home.path());
    ide.setProcessEnvironment(env);
    ide.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ide.start(QCoreApplication::applicationDirPath() + QStringLiteral("/krol-ide"), {QStringLiteral("--no-restore")});
    QVERIFY(ide.waitForStarted());
    // Ready when the process catches the signal (the mask of caught signals in its status).
    const quint64 bit = quint64(1) << (signal - 1);
    const auto catching = [&] {
        QFile status(QStringLiteral("/proc/%1/status").arg(ide.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigCgt:"))
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) & bit) != 0;
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(catching(), 20000);
    QCOMPARE(ide.state(), QProcess::Running);
    ::kill(pid_t(ide.processId()), signal);
    QVERIFY(ide.waitForFinished(20000));
    QCOMPARE(ide.exitStatus(), QProcess::NormalExit);
    QCOMPARE(ide.exitCode(), 0);
    QVERIFY(QFile::exists(home.filePath(QStringLiteral("settings/KROL/krol.conf"))));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"

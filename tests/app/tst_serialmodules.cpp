#include "AppSettings.h"
#include "CaseFile.h"
#include "IdePaths.h"
#include "KROLModuleInterface.h"
#include "MainWindow.h"
#include "ModuleSession.h"
#include "PtyPeer.h"
#include "PtySimProcess.h"
#include "SerialConnection.h"
#include "SerialModuleDialog.h"
#include "SerialModules.h"
#include "ToolsInterface.h"

#include <QAction>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

// Serial modules in the application: the connect dialog against `krol sim --pty`, workbenches
// that follow their module's answers, and connections that come back at the next start.
class tst_SerialModules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { AppSettings().clear(); }
    void dialog_data();
    void dialog();
    void connectVirtualModuleOnPty();
    void workbenchFollowsTheModule();

private:
    std::unique_ptr<MainWindow> startWindow(bool restore);
    // What setEnabled switches in a workbench: its module commands.
    static bool moduleCommandsOn(ToolsInterface* tool) { return tool->findChild<QAction*>("actionDownload")->isEnabled(); }
    QTemporaryDir m_home;
};

void tst_SerialModules::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_home.isValid());
    qputenv("KROL_HOME", m_home.path().toUtf8());
}

std::unique_ptr<MainWindow> tst_SerialModules::startWindow(bool restore)
{
    IdeOptions options;
    options.realTime = false;
    options.restore = restore;
    auto window = std::make_unique<MainWindow>(options);
    window->start();
    window->show();
    return window;
}

// tests/cases/serial-dialog.cases.
void tst_SerialModules::dialog_data()
{
    AddCaseRows("serial-dialog.cases");
}

void tst_SerialModules::dialog()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    QCOMPARE(body.size(), 3);
    QString port = body[0];
    const QString baud = body[1];
    const QString description = QString(body[2]).replace("%V", IdePaths::defaultModule());
    const QString error = results.value(0) == QLatin1String("accepted") ? QString() : results.value(0);
    PtySimProcess sim;
    QVERIFY2(sim.start({"--baud", "0"}), qPrintable(sim.errorOutput()));
    port.replace("%P", sim.path());

    SerialModuleDialog dialog{QString()};
    dialog.show();
    dialog.findChild<QComboBox*>("portBox")->setCurrentText(port);
    dialog.findChild<QComboBox*>("baudBox")->setCurrentText(baud);
    dialog.findChild<QLineEdit*>("descriptionEdit")->setText(description);
    dialog.accept();
    if (error.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        std::unique_ptr<SerialConnection> link(dialog.takeConnection());
        QVERIFY(link && link->isOpen());
        QCOMPARE(link->settings().Port, sim.path());
        QCOMPARE(dialog.moduleAddress(), uchar(1));
    } else {
        // The dialog stays open and says why.
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.takeConnection() == nullptr);
        QVERIFY2(QRegularExpression(error).match(dialog.errorText()).hasMatch(), qPrintable(dialog.errorText()));
        // It grows for the message rather than squeezing the fields.
        QVERIFY(dialog.height() >= dialog.layout()->totalHeightForWidth(dialog.width()));
    }
    QVERIFY(sim.stop());
}

void tst_SerialModules::connectVirtualModuleOnPty()
{
    PtySimProcess sim;
    QVERIFY2(sim.start({"--baud", "0"}), qPrintable(sim.errorOutput()));
    auto window = startWindow(false);
    auto* serial = window->findChild<SerialModules*>();
    QVERIFY(serial);
    QVERIFY(window->findChild<QAction*>("actionConnectSerial"));

    TSerialSettings settings;
    settings.Port = sim.path();
    auto* link = new SerialConnection(settings);
    QVERIFY(link->open());
    QString error;
    ModuleSession* session = serial->connectModule(link, 1, IdePaths::defaultModule(), &error);
    QVERIFY2(session, qPrintable(error));
    QCOMPARE(window->sessions().size(), 2);
    QCOMPARE(session->module()->connectionInterface(), link);
    QVERIFY(!session->tools().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(moduleCommandsOn(session->tools().first()), 10000);
    // The module on the pty is the virtual one: its description and its answers.
    QCOMPARE(session->module()->moduleName(), QStringLiteral("Virtual module"));
    QVERIFY(link->answering());

    // The connection comes back at the next start, with its own workbench.
    window.reset();
    auto next = startWindow(true);
    ModuleSession* restored = nullptr;
    for (ModuleSession* s : next->sessions()) {
        if (qobject_cast<SerialConnection*>(s->module()->connectionInterface()))
            restored = s;
    }
    QVERIFY(restored);
    QCOMPARE(qobject_cast<SerialConnection*>(restored->module()->connectionInterface())->settings().Port, sim.path());
    // A busy machine may miss the first status poll; the next one switches the commands on.
    QTRY_VERIFY_WITH_TIMEOUT(moduleCommandsOn(restored->tools().first()), 10000);
    // Closed by the user, it is forgotten.
    next->closeSession(restored);
    QCOMPARE(AppSettings().value(QStringLiteral("krol-ide/serialModules")).toStringList(), QStringList());
    QVERIFY(sim.stop());
}

void tst_SerialModules::workbenchFollowsTheModule()
{
    PtyPeer peer;
    QString error;
    QVERIFY2(peer.start(&error), qPrintable(error));
    auto window = startWindow(false);
    auto* serial = window->findChild<SerialModules*>();
    serial->setPollMs(20);
    TSerialSettings settings;
    settings.Port = peer.path();
    settings.TimeoutMs = 50;
    auto* link = new SerialConnection(settings);
    QVERIFY(link->open());
    ModuleSession* session = serial->connectModule(link, PtyPeer::ModuleAddress, IdePaths::defaultModule(), &error);
    QVERIFY2(session, qPrintable(error));
    ToolsInterface* tool = session->tools().first();
    QVERIFY(moduleCommandsOn(tool));

    peer.setMode(PtyPeer::Silent);
    QTRY_VERIFY(!moduleCommandsOn(tool));
    peer.setMode(PtyPeer::Good);
    QTRY_VERIFY(moduleCommandsOn(tool));
    // The line goes away: off again.
    peer.setMode(PtyPeer::Close);
    QTRY_VERIFY(!moduleCommandsOn(tool));
    QVERIFY(!link->isOpen());
}

QTEST_MAIN(tst_SerialModules)
#include "tst_serialmodules.moc"

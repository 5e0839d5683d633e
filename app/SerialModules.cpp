#include "SerialModules.h"

#include "AppSettings.h"
#include "Command.h"
#include "IdePaths.h"
#include "KROLModuleInterface.h"
#include "MainWindow.h"
#include "ModuleCommands.h"
#include "ModuleSession.h"
#include "SerialConnection.h"
#include "SerialModuleDialog.h"
#include "SharedConnection.h"
#include "ToolsInterface.h"

#include <QAction>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

namespace {

constexpr int MessageMs = 10000;
constexpr int QuietMs = 1000;

QString key()
{
    return QStringLiteral("%1/%2").arg(QLatin1String(MainWindow::SettingsGroup), QLatin1String(SerialModules::SettingsKey));
}

} // namespace

SerialModules::SerialModules(MainWindow* window) : QObject(window), m_window(window)
{
    auto* action = new QAction(tr("Connect &serial module..."), window);
    action->setObjectName(QStringLiteral("actionConnectSerial"));
    connect(action, &QAction::triggered, this, &SerialModules::ActionConnectSerialTriggered);
    QAction* open = window->findChild<QAction*>(QStringLiteral("actionOpenModule"));
    QMenu* menu = window->findChild<QMenu*>(QStringLiteral("menuFile"));
    if (menu) {
        const QList<QAction*> actions = menu->actions();
        const int at = actions.indexOf(open);
        menu->insertAction(at >= 0 && at + 1 < actions.size() ? actions.at(at + 1) : nullptr, action);
    }
}

void SerialModules::ActionConnectSerialTriggered()
{
    SerialModuleDialog dialog(IdePaths::defaultModule(), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    SerialConnection* connection = dialog.takeConnection();
    QString error;
    if (!connectModule(connection, dialog.moduleAddress(), dialog.descriptionPath(), &error))
        m_window->statusBar()->showMessage(error, MessageMs);
}

ModuleSession* SerialModules::connectModule(SerialConnection* connection, unsigned char address,
                                            const QString& descriptionPath, QString* error)
{
    KROLModuleInterface* module = KROLModuleInterface::fromFile(descriptionPath, error);
    if (!module) {
        delete connection;
        return nullptr;
    }
    connection->setParent(module);
    // The panels ask many times a second; a silent module must not freeze the window.
    connection->setQuietMs(QuietMs);
    module->setConnectionInterface(connection);
    auto* session = new ModuleSession(module, descriptionPath, address);
    remember(*connection, address, descriptionPath);

    connect(connection, &SerialConnection::answeringChanged, session, [this, session, connection](bool answering) {
        for (ToolsInterface* tool : session->tools())
            tool->setEnabled(answering && session->isLinked());
        m_window->statusBar()->showMessage(answering ? tr("%1 answers again.").arg(session->title())
                                                     : tr("%1 does not answer: %2").arg(session->title(),
                                                                                        connection->lastError()),
                                           MessageMs);
    });
    // A module the user closes does not come back at the next start.
    connect(m_window, &MainWindow::sessionClosing, session,
            [this, session, port = connection->settings().Port, address](ModuleSession* closing) {
                if (closing == session)
                    forget(port, address);
            });
    auto* timer = new QTimer(session);
    connect(timer, &QTimer::timeout, session, [this, session] { poll(session); });
    timer->start(m_pollMs);
    m_window->addSession(session);
    // The first answer decides whether the workbenches start switched on.
    poll(session);
    if (!connection->answering()) {
        for (ToolsInterface* tool : session->tools())
            tool->setEnabled(false);
    }
    return session;
}

void SerialModules::poll(ModuleSession* session)
{
    // Not in the middle of a transfer, and not while the user has detached the module.
    if (!session->isLinked() || session->sharedLink()->isExclusive())
        return;
    Command reply;
    session->sharedLink()->hostRequest(Command(session->address(), ModuleCommand::GetStatus, 1, 0, 0, false, 12),
                                       &reply);
}

void SerialModules::remember(const SerialConnection& connection, unsigned char address, const QString& descriptionPath)
{
    const QJsonObject entry{{QStringLiteral("port"), connection.settings().Port},
                            {QStringLiteral("baud"), connection.settings().Baud},
                            {QStringLiteral("address"), int(address)},
                            {QStringLiteral("replyAddress"), int(connection.settings().ReplyAddress)},
                            {QStringLiteral("description"), descriptionPath}};
    // One entry per port and address: connecting again replaces the old settings.
    forget(connection.settings().Port, address);
    AppSettings settings;
    settings.setValue(key(), settings.value(key()).toStringList()
                                 << QString::fromUtf8(QJsonDocument(entry).toJson(QJsonDocument::Compact)));
}

void SerialModules::forget(const QString& port, unsigned char address)
{
    AppSettings settings;
    QStringList list = settings.value(key()).toStringList();
    for (int i = list.size() - 1; i >= 0; --i) {
        const QJsonObject old = QJsonDocument::fromJson(list.at(i).toUtf8()).object();
        if (old.value(QStringLiteral("port")).toString() == port && old.value(QStringLiteral("address")).toInt() == int(address))
            list.removeAt(i);
    }
    settings.setValue(key(), list);
}

void SerialModules::restore()
{
    const QStringList list = AppSettings().value(key()).toStringList();
    for (const QString& text : list) {
        const QJsonObject entry = QJsonDocument::fromJson(text.toUtf8()).object();
        TSerialSettings settings;
        settings.Port = entry.value(QStringLiteral("port")).toString();
        settings.Baud = entry.value(QStringLiteral("baud")).toInt(TSerialSettings::DefaultBaud);
        settings.ReplyAddress = static_cast<unsigned char>(
            entry.value(QStringLiteral("replyAddress")).toInt(TSerialSettings::DefaultReplyAddress));
        const int address = entry.value(QStringLiteral("address")).toInt(-1);
        if (settings.Port.isEmpty() || address < 0 || address > 255 || settings.Baud <= 0)
            continue;
        auto* connection = new SerialConnection(settings);
        connection->open();   // a port that is not there yet is opened again at each request
        QString error;
        if (!connectModule(connection, static_cast<unsigned char>(address),
                           entry.value(QStringLiteral("description")).toString(), &error))
            m_window->statusBar()->showMessage(error, MessageMs);
    }
}

#pragma once

#include <QObject>
#include <QString>

class MainWindow;
class ModuleSession;
class SerialConnection;

// Modules on serial ports in the application: the "Connect serial module..." command, a session
// (workbench and panels) per module, the workbenches switched off while their module does not
// answer and on again when it does, and the connections remembered for the next start (a
// module the user closes is forgotten).
class SerialModules : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* SettingsKey = "serialModules";
    // How often a module is asked whether it is there. A module that is silent while its port
    // stays open costs the link's time-out each time, on the window's thread.
    static constexpr int DefaultPollMs = 2000;

    // Adds the command to the window's File menu, after "Open module...".
    explicit SerialModules(MainWindow* window);

    void setPollMs(int ms) { m_pollMs = ms; }

    // Connects the modules remembered at the last connection, also those whose port is not
    // there now: their workbenches wait, switched off, until the module answers.
    void restore();
    // Gives the open link a session with its workbenches; null with *error when the
    // description cannot be loaded. The session takes the connection.
    ModuleSession* connectModule(SerialConnection* connection, unsigned char address,
                                 const QString& descriptionPath, QString* error);

public slots:
    void ActionConnectSerialTriggered();

private:
    void remember(const SerialConnection& connection, unsigned char address, const QString& descriptionPath);
    void forget(const QString& port, unsigned char address);
    void poll(ModuleSession* session);

    MainWindow* m_window;
    int m_pollMs = DefaultPollMs;
};

#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class AxisPanel;
class DirectModePanel;
class KROLConnectionInterface;
class KROLModuleInterface;
class SharedConnection;
class ToolsInterface;
class VirtualClock;
class VirtualConnection;

// One connected module and everything the application keeps for it: its description file,
// its link, the workbenches cloned for it, its direct-mode panel and its axis panel. Every
// kind of connection (the virtual module, a serial link) becomes a session the same way: make
// the module with its connection, then hand it to a session.
class ModuleSession : public QObject
{
    Q_OBJECT

public:
    // Takes the module, whose current connection is its link; address is the byte every
    // request carries (the tools' id).
    ModuleSession(KROLModuleInterface* module, const QString& descriptionPath, unsigned char address,
                  QObject* parent = nullptr);
    ~ModuleSession() override;

    // A virtual module from a description file whose clock follows real time (unless
    // realTime is false: then it moves only when a caller advances it). Null with *error
    // naming the file and the fault.
    static ModuleSession* openVirtual(const QString& descriptionPath, unsigned char address, bool realTime,
                                      QString* error, QObject* parent = nullptr);

    KROLModuleInterface* module() const { return m_module; }
    QString descriptionPath() const { return m_descriptionPath; }
    unsigned char address() const { return m_address; }
    // "1: Virtual module", as the module list shows it.
    QString title() const;
    SharedConnection* sharedLink() const { return m_shared; }
    // The virtual module behind the session, or null for another kind of link.
    VirtualConnection* virtualConnection() const { return m_virtual; }
    VirtualClock* clock() const { return m_clock; }

    // A workbench of the prototype's kind for this module; the session owns it. Null when the
    // prototype cannot clone.
    ToolsInterface* addTool(ToolsInterface* prototype);
    QList<ToolsInterface*> tools() const;
    AxisPanel* axisPanel() const;
    DirectModePanel* directPanel() const;

    // Reads the description file again; on failure nothing changes and *error says why.
    bool reloadDescription(QString* error);
    // Detaches the module from its link (the tools' module commands go off) or attaches it again.
    void setLinked(bool linked);
    bool isLinked() const;

    // Asks every workbench to save its modified pages.
    void aboutToExit();

signals:
    void linkChanged(bool linked);

private slots:
    void onParameterListChanged();
    void onConnectionChanged();

private:
    KROLModuleInterface* m_module;
    QString m_descriptionPath;
    unsigned char m_address;
    QPointer<KROLConnectionInterface> m_link;   // the module's own link, kept while detached
    SharedConnection* m_shared;
    VirtualConnection* m_virtual = nullptr;
    VirtualClock* m_clock = nullptr;
    QList<QPointer<ToolsInterface>> m_tools;
    // Shown in the window's docks, which may go first when the window closes.
    QPointer<AxisPanel> m_axisPanel;
    QPointer<DirectModePanel> m_directPanel;
};

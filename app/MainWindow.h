#pragma once

#include "IdeOptions.h"
#include "ToolPlugins.h"

#include <QList>
#include <QPair>
#include <QRect>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class ExportType;
class ModuleSession;
class QMdiSubWindow;
class QMessageBox;
class ToolsInterface;

namespace Ui {
class MainWindow;
}

// The application's window: workbenches in an MDI area, the module list, the current module's
// direct-mode and axis panels in docks. It loads the tool plug-ins, keeps the connected modules
// (sessions) and asks every workbench about unsaved text before it closes.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr const char* SettingsGroup = "krol-ide";

    explicit MainWindow(const IdeOptions& options, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Loads the plug-ins, connects the first modules and restores the layout.
    void start();

    // A virtual module from a description file, with its workbenches; null with *error.
    ModuleSession* openModule(const QString& descriptionPath, QString* error);
    // Any kind of module: gives it workbenches and panels and lists it. The window owns it.
    void addSession(ModuleSession* session);
    // Asks its workbenches about unsaved pages as quitting does, then removes the module with
    // its workbenches and panels.
    void closeSession(ModuleSession* session);
    // The next free module address (the first module gets 1).
    unsigned char nextAddress() const;

    const QList<ModuleSession*>& sessions() const { return m_sessions; }
    ModuleSession* currentSession() const;
    const ToolPlugins& plugins() const { return m_plugins; }
    // The window around a workbench, or null.
    QMdiSubWindow* windowOf(ToolsInterface* tool) const;

    // Hands a value to every tool whose import filters accept it from the sender.
    int exportValue(const ExportType* key, const QVariant& value, QObject* sender);

    // The examples: copied into the user's home (never over the user's copies) and opened in
    // the current module's workbench.
    bool openExample(const QString& fileName);

public slots:
    void showSession(ModuleSession* session);

signals:
    // Closed by the user (not at exit), just before the session goes.
    void sessionClosing(ModuleSession* session);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void ActionOpenModuleTriggered();
    void ActionReloadModuleTriggered();
    void ActionModuleLinkedToggled(bool linked);
    void ActionCloseModuleTriggered();
    void ActionShowWorkbenchTriggered();
    void ActionAboutTriggered();
    void OnSubWindowActivated(QMdiSubWindow* window);
    void OnModuleRowChanged(int row);

private:
    void reportPluginFailures();
    void applyWindowSize(QMdiSubWindow* window);
    void fillExamplesMenu();
    void updateModuleActions();
    void saveLayout();
    void restoreLayout();
    QStringList restoredModules() const;

    std::unique_ptr<Ui::MainWindow> ui;
    IdeOptions m_options;
    ToolPlugins m_plugins;
    QList<ModuleSession*> m_sessions;
    QPointer<QMessageBox> m_failureBox;
    QList<QPair<QPointer<QMdiSubWindow>, QRect>> m_restoredWindows;
    bool m_shown = false;
    bool m_closing = false;
};

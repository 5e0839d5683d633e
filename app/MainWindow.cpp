#include "MainWindow.h"

#include "ui_MainWindow.h"

#include "AppSettings.h"
#include "AxisPanel.h"
#include "DirectModePanel.h"
#include "ExportType.h"
#include "IconTheme.h"
#include "IdePaths.h"
#include "ModuleSession.h"
#include "SerialModules.h"
#include "ToolsInterface.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QStatusBar>

// The application's resources sit in a static library: they need registering.
static void initResources()
{
    Q_INIT_RESOURCE(krolide);
}

namespace {

const char* const DescriptionFilter = "Module descriptions (*.json);;All files (*)";

} // namespace

MainWindow::MainWindow(const IdeOptions& options, QWidget* parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_options(options)
{
    initResources();
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/krol-ide/krol-ide.svg")));
    ui->menuWindow->addAction(ui->dockModules->toggleViewAction());
    ui->menuWindow->addAction(ui->dockDirectMode->toggleViewAction());
    ui->menuWindow->addAction(ui->dockAxes->toggleViewAction());
    connect(ui->actionOpenModule, &QAction::triggered, this, &MainWindow::ActionOpenModuleTriggered);
    connect(ui->actionQuit, &QAction::triggered, this, &QWidget::close);
    connect(ui->actionReloadModule, &QAction::triggered, this, &MainWindow::ActionReloadModuleTriggered);
    connect(ui->actionModuleLinked, &QAction::toggled, this, &MainWindow::ActionModuleLinkedToggled);
    connect(ui->actionCloseModule, &QAction::triggered, this, &MainWindow::ActionCloseModuleTriggered);
    connect(ui->actionShowWorkbench, &QAction::triggered, this, &MainWindow::ActionShowWorkbenchTriggered);
    connect(ui->actionCascade, &QAction::triggered, ui->mdiArea, &QMdiArea::cascadeSubWindows);
    connect(ui->actionTile, &QAction::triggered, ui->mdiArea, &QMdiArea::tileSubWindows);
    connect(ui->actionAbout, &QAction::triggered, this, &MainWindow::ActionAboutTriggered);
    connect(ui->mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::OnSubWindowActivated);
    connect(ui->moduleList, &QListWidget::currentRowChanged, this, &MainWindow::OnModuleRowChanged);
    connect(ui->moduleList, &QListWidget::itemActivated, this, &MainWindow::ActionShowWorkbenchTriggered);
    // A first layout that leaves the workbenches most of the room; the user's own comes back
    // from the settings.
    resizeDocks({ui->dockModules, ui->dockDirectMode}, {120, 240}, Qt::Vertical);
    resizeDocks({ui->dockModules}, {300}, Qt::Horizontal);
    resizeDocks({ui->dockAxes}, {170}, Qt::Vertical);
    updateModuleActions();
}

MainWindow::~MainWindow()
{
    // The MDI area still reports activations while QWidget's destructor hides it, when this
    // object is a MainWindow no more.
    disconnect(ui->mdiArea, nullptr, this, nullptr);
    // Workbenches before the window's widgets: they may still use the module while they go.
    qDeleteAll(m_sessions);
}

void MainWindow::start()
{
    m_plugins.load(m_options.pluginFolder.isEmpty() ? IdePaths::pluginFolder() : m_options.pluginFolder);
    reportPluginFailures();

    QStringList modules;
    if (!m_options.moduleFile.isEmpty())
        modules << m_options.moduleFile;
    else if (m_options.restore)
        modules = restoredModules();
    if (modules.isEmpty())
        modules << IdePaths::defaultModule();
    QStringList errors;
    for (const QString& path : modules) {
        QString error;
        if (openModule(path, &error) == nullptr)
            errors << error;
    }
    if (!errors.isEmpty()) {
        auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(),
                                    tr("A module description could not be loaded."), QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("moduleFailures"));
        box->setInformativeText(errors.join(QLatin1Char('\n')));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    }
    if (m_options.restore)
        restoreLayout();
    // After the layout, which keeps the windows of virtual modules only.
    auto* serialModules = new SerialModules(this);
    if (m_options.restore)
        serialModules->restore();
    fillExamplesMenu();
    if (!m_sessions.isEmpty())
        showSession(m_sessions.first());
}

void MainWindow::reportPluginFailures()
{
    for (const QString& failure : m_plugins.failures())
        qWarning("krol-ide: plug-in not loaded: %s", qPrintable(failure));
    QString text;
    if (m_plugins.prototypes().isEmpty())
        text = tr("No workbench plug-in could be loaded, so modules get no workbench.");
    else if (!m_plugins.failures().isEmpty())
        text = tr("Some plug-ins could not be loaded; the others work.");
    if (text.isEmpty())
        return;
    // Not modal: the rest of the application works, and nothing waits for an answer.
    m_failureBox = new QMessageBox(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    m_failureBox->setObjectName(QStringLiteral("pluginFailures"));
    m_failureBox->setInformativeText(tr("Plug-in folder: %1").arg(QDir::toNativeSeparators(
        m_options.pluginFolder.isEmpty() ? IdePaths::pluginFolder() : m_options.pluginFolder)));
    m_failureBox->setDetailedText(m_plugins.failures().join(QLatin1Char('\n')));
    m_failureBox->setAttribute(Qt::WA_DeleteOnClose);
    m_failureBox->setModal(false);
    m_failureBox->show();
}

unsigned char MainWindow::nextAddress() const
{
    int address = 1;
    for (const ModuleSession* session : m_sessions)
        address = std::max(address, session->address() + 1);
    return static_cast<unsigned char>(std::min(address, 255));
}

ModuleSession* MainWindow::openModule(const QString& descriptionPath, QString* error)
{
    ModuleSession* session = ModuleSession::openVirtual(QFileInfo(descriptionPath).absoluteFilePath(),
                                                        nextAddress(), m_options.realTime, error);
    if (session != nullptr)
        addSession(session);
    return session;
}

void MainWindow::addSession(ModuleSession* session)
{
    session->setParent(this);
    m_sessions << session;
    for (ToolsInterface* prototype : m_plugins.prototypes()) {
        ToolsInterface* tool = session->addTool(prototype);
        if (tool == nullptr)
            continue;
        IconTheme::apply(tool, palette());
        const QVariant flags = tool->property("dpWindowFlags");
        QMdiSubWindow* window = flags.isValid()
            ? ui->mdiArea->addSubWindow(tool, Qt::WindowFlags(flags.toUInt()))
            : ui->mdiArea->addSubWindow(tool);
        window->setWindowTitle(tr("%1 – %2").arg(tool->title(), session->title()));
        window->setWindowIcon(windowIcon());
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->installEventFilter(this);
        window->show();
        if (m_shown)
            applyWindowSize(window);
    }
    ui->axisStack->addWidget(session->axisPanel());
    ui->directStack->addWidget(session->directPanel());
    DirectModePanel* panel = session->directPanel();
    connect(panel, &DirectModePanel::exportRequested, this, [this, panel](const QString& line) {
        if (exportValue(&ExportTypes::KROLScript, line, panel) == 0)
            statusBar()->showMessage(tr("No workbench of this module takes the line."), 5000);
    });
    ui->moduleList->addItem(session->title());
    connect(session, &ModuleSession::linkChanged, this, &MainWindow::updateModuleActions);
    showSession(session);
}

void MainWindow::closeSession(ModuleSession* session)
{
    const int row = m_sessions.indexOf(session);
    if (row < 0)
        return;
    session->aboutToExit();
    emit sessionClosing(session);
    // Out of the list first: the row change that follows shows the module that takes its place.
    m_sessions.removeAt(row);
    delete ui->moduleList->takeItem(row);
    // Later, as a workbench may be running a program from a nested event loop now. The windows
    // take their workbenches along while the module is still there.
    for (ToolsInterface* tool : session->tools()) {
        if (QMdiSubWindow* window = windowOf(tool)) {
            window->hide();
            window->deleteLater();
        }
    }
    session->deleteLater();
    updateModuleActions();
}

ModuleSession* MainWindow::currentSession() const
{
    const int row = ui->moduleList->currentRow();
    return row >= 0 && row < m_sessions.size() ? m_sessions[row] : nullptr;
}

QMdiSubWindow* MainWindow::windowOf(ToolsInterface* tool) const
{
    for (QMdiSubWindow* window : ui->mdiArea->subWindowList()) {
        if (window->widget() == tool)
            return window;
    }
    return nullptr;
}

void MainWindow::showSession(ModuleSession* session)
{
    const int row = m_sessions.indexOf(session);
    if (row < 0)
        return;
    ui->moduleList->setCurrentRow(row);
    for (ToolsInterface* tool : session->tools()) {
        if (QMdiSubWindow* window = windowOf(tool)) {
            window->show();
            ui->mdiArea->setActiveSubWindow(window);
        }
    }
}

void MainWindow::OnSubWindowActivated(QMdiSubWindow* window)
{
    if (window == nullptr)
        return;
    for (int row = 0; row < m_sessions.size(); ++row) {
        if (m_sessions[row]->tools().contains(qobject_cast<ToolsInterface*>(window->widget())))
            ui->moduleList->setCurrentRow(row);
    }
}

void MainWindow::OnModuleRowChanged(int row)
{
    if (row < 0 || row >= m_sessions.size())
        return;
    ui->axisStack->setCurrentWidget(m_sessions[row]->axisPanel());
    ui->directStack->setCurrentWidget(m_sessions[row]->directPanel());
    updateModuleActions();
}

void MainWindow::updateModuleActions()
{
    ModuleSession* session = currentSession();
    ui->actionShowWorkbench->setEnabled(session != nullptr);
    ui->actionReloadModule->setEnabled(session != nullptr);
    ui->actionModuleLinked->setEnabled(session != nullptr);
    ui->actionCloseModule->setEnabled(session != nullptr);
    const QSignalBlocker block(ui->actionModuleLinked);
    ui->actionModuleLinked->setChecked(session != nullptr && session->isLinked());
}

void MainWindow::ActionShowWorkbenchTriggered()
{
    if (ModuleSession* session = currentSession())
        showSession(session);
}

void MainWindow::ActionOpenModuleTriggered()
{
    const QString start = m_sessions.isEmpty() ? IdePaths::defaultModule() : m_sessions.last()->descriptionPath();
    const QString path = QFileDialog::getOpenFileName(this, tr("Open module description"),
                                                      QFileInfo(start).absolutePath(), tr(DescriptionFilter));
    if (path.isEmpty())
        return;
    QString error;
    if (openModule(path, &error) == nullptr)
        QMessageBox::warning(this, tr("Open module description"), tr("The module description could not be loaded.")
                                 + QLatin1Char('\n') + error);
}

void MainWindow::ActionReloadModuleTriggered()
{
    ModuleSession* session = currentSession();
    QString error;
    if (session != nullptr && !session->reloadDescription(&error))
        QMessageBox::warning(this, tr("Reload module description"),
                             tr("The module description could not be loaded; the module keeps its old one.")
                                 + QLatin1Char('\n') + error);
}

void MainWindow::ActionModuleLinkedToggled(bool linked)
{
    if (ModuleSession* session = currentSession())
        session->setLinked(linked);
}

void MainWindow::ActionCloseModuleTriggered()
{
    if (ModuleSession* session = currentSession())
        closeSession(session);
}

void MainWindow::ActionAboutTriggered()
{
    QMessageBox::about(this, tr("About krol-ide"),
                       tr("<p><b>krol-ide</b> %1</p><p>Writes, assembles, downloads and debugs KROL programs "
                          "for motor-control modules. A virtual module runs them when no module is "
                          "connected.</p>").arg(QCoreApplication::applicationVersion()));
}

void MainWindow::fillExamplesMenu()
{
    ui->menuExamples->clear();
    const QDir dir(IdePaths::examplesFolder());
    const QStringList names = dir.entryList({QStringLiteral("*.kro")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QAction* action = ui->menuExamples->addAction(name);
        connect(action, &QAction::triggered, this, [this, name] {
            if (!openExample(name))
                statusBar()->showMessage(tr("%1 could not be opened: it opens in the workbench of a connected "
                                            "module, as a copy in %2.")
                                             .arg(name, QDir::toNativeSeparators(AppSettings::homePath())), 8000);
        });
    }
    ui->menuExamples->setEnabled(!names.isEmpty());
}

bool MainWindow::openExample(const QString& fileName)
{
    ModuleSession* session = currentSession();
    if (session == nullptr || session->tools().isEmpty())
        return false;
    const QDir from(IdePaths::examplesFolder());
    const QDir to(AppSettings::homePath() + QStringLiteral("/Examples"));
    if (!to.mkpath(QStringLiteral(".")))
        return false;
    // The includes come along; a copy the user already has (and may have changed) stays.
    for (const QString& name : from.entryList(QDir::Files)) {
        if (!to.exists(name))
            QFile::copy(from.filePath(name), to.filePath(name));
    }
    if (!to.exists(fileName))
        return false;
    ToolsInterface* tool = session->tools().first();
    showSession(session);
    // As if the file were dropped onto the workbench's editor.
    return QMetaObject::invokeMethod(tool, "OnFileDropped", Q_ARG(QString, to.filePath(fileName)));
}

int MainWindow::exportValue(const ExportType* key, const QVariant& value, QObject* sender)
{
    int delivered = 0;
    for (ModuleSession* session : m_sessions) {
        for (ToolsInterface* tool : session->tools()) {
            if (tool->acceptsImport(key, sender)) {
                tool->importValue(key, value, sender);
                ++delivered;
            }
        }
    }
    return delivered;
}

void MainWindow::applyWindowSize(QMdiSubWindow* window)
{
    // The workbench asks for the size of its own area; the window adds its frame and title.
    const QSize size = window->widget()->property("dpWindowSize").toSize();
    if (size.isValid())
        window->resize(size + (window->size() - window->widget()->size()));
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    // Sizes mean something once the window is on screen: place the workbenches now.
    m_shown = true;
    for (QMdiSubWindow* window : ui->mdiArea->subWindowList())
        applyWindowSize(window);
    for (const auto& restored : qAsConst(m_restoredWindows)) {
        if (!restored.first)
            continue;
        if (restored.second.isValid())
            restored.first->setGeometry(restored.second);
        else
            restored.first->hide();
    }
    m_restoredWindows.clear();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // A new palette (the desktop's dark mode switched, say) fits the icons again.
    if (event->type() == QEvent::PaletteChange) {
        for (ModuleSession* session : qAsConst(m_sessions)) {
            for (ToolsInterface* tool : session->tools())
                IconTheme::apply(tool, palette());
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        for (ModuleSession* session : m_sessions)
            session->aboutToExit();
        saveLayout();
    }
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Closing a workbench's window only hides it: the workbench keeps its pages, and the module
    // list or Module > Show workbench brings it back.
    if (event->type() == QEvent::Close && !m_closing) {
        if (auto* window = qobject_cast<QMdiSubWindow*>(watched)) {
            event->ignore();
            window->hide();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QStringList MainWindow::restoredModules() const
{
    AppSettings settings;
    settings.beginGroup(QLatin1String(SettingsGroup));
    return settings.value(QStringLiteral("modules")).toStringList();
}

void MainWindow::saveLayout()
{
    AppSettings settings;
    settings.beginGroup(QLatin1String(SettingsGroup));
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("state"), saveState());
    QStringList modules;
    QVariantList geometries;   // flat lists: the settings file keeps no nested ones
    QVariantList visible;
    for (ModuleSession* session : m_sessions) {
        if (session->virtualConnection() == nullptr)
            continue;
        modules << session->descriptionPath();
        for (ToolsInterface* tool : session->tools()) {
            if (QMdiSubWindow* window = windowOf(tool)) {
                geometries << window->geometry();
                visible << window->isVisible();
            }
        }
    }
    settings.setValue(QStringLiteral("modules"), modules);
    settings.setValue(QStringLiteral("windowGeometry"), geometries);
    settings.setValue(QStringLiteral("windowVisible"), visible);
}

void MainWindow::restoreLayout()
{
    AppSettings settings;
    settings.beginGroup(QLatin1String(SettingsGroup));
    restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray());
    restoreState(settings.value(QStringLiteral("state")).toByteArray());
    const QVariantList geometries = settings.value(QStringLiteral("windowGeometry")).toList();
    const QVariantList visible = settings.value(QStringLiteral("windowVisible")).toList();
    int index = 0;
    for (ModuleSession* session : m_sessions) {
        for (ToolsInterface* tool : session->tools()) {
            QMdiSubWindow* window = windowOf(tool);
            if (window == nullptr || index >= geometries.size() || index >= visible.size())
                continue;
            const QRect geometry = geometries[index].toRect();
            const bool shown = visible[index++].toBool();
            // Applied when the window first shows; an invalid rectangle hides the workbench.
            m_restoredWindows.append({window, shown ? geometry : QRect()});
        }
    }
}

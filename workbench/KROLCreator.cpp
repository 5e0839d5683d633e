#include "KROLCreator.h"

#include "AppSettings.h"
#include "FindReplace.h"
#include "ImportFilterExportTypes.h"
#include "ImportFilter_SameModule.h"
#include "KROLModuleInterface.h"
#include "SettingsGroup.h"
#include "ui_KROLCreator.h"

#include <QDir>
#include <QFile>
#include <QPrinter>

namespace {

const QString Title = QStringLiteral("KROL creator");
const QString Icon = QStringLiteral(":/moreIcons/NewPageCode");
const QString ExamplesResource = QStringLiteral(":/KROL_Examples/Examples");

// The host reads these dynamic properties: keep an icon's colours, the window's size and flags.
const char IgnoreColours[] = "dpIgnCol";
const char WindowSize[] = "dpWindowSize";
const char WindowFlags[] = "dpWindowFlags";

// Copies the example include files into the host's home, keeping files the user already has.
void CopyExamples()
{
    const QString target = AppSettings::homePath() + QStringLiteral("/Examples/");
    QDir().mkpath(target);
    const QStringList names = QDir(ExamplesResource).entryList({QStringLiteral("*.*")});
    for (const QString& name : names)
        QFile::copy(ExamplesResource + QLatin1Char('/') + name, target + name);
}

} // namespace

KROLCreator::KROLCreator()
    : ToolsInterface(QStringLiteral("undefined"), Title, ToolsType::KROLCreator, 0, nullptr, Icon, nullptr)
{
    setAxisUnused();
}

KROLCreator::KROLCreator(QString name, unsigned char id, KROLModuleInterface* module)
    : ToolsInterface(std::move(name), Title, ToolsType::KROLCreator, id, module, Icon, nullptr)
{
    AppSettings settings;
    ui = new Ui_KROLCreator;
    ui->setupUi(this);

    ui->actionPrint->setVisible(QPrinter(QPrinter::ScreenResolution).outputFormat() == QPrinter::NativeFormat);
    for (QAction* a : {ui->actionSave, ui->actionRun_Continue, ui->actionPause, ui->actionSingle_Step,
                       ui->actionStop_Reset})
        a->setProperty(IgnoreColours, true);
    setProperty(WindowSize, QSize(700, 400));

    NewFileCounter = 1;
    setAxisUnused();

    ColourMap = EditorColour::KROL;
    settings.beginGroup(QString::fromLatin1(SettingsGroup::KROLCreator));
    ReadColours(settings);
    HighlightActiveLine = settings.value(QStringLiteral("HighlightActiveLine"), true).toBool();
    KeepActiveLineColor = settings.value(QStringLiteral("KeepActiveLineColor"), true).toBool();
    DoNotNotifyAgain = settings.value(QStringLiteral("DoNotNotifyAgain"), false).toBool();
    settings.endGroup();

    ui->tabWidget->clear();
    NewEditorPage();

    FindReplaceBar = new FindReplace(this);
    FindReplaceBar->hide();
    ui->verticalLayout->addWidget(FindReplaceBar);

    LblCursor.setText(QStringLiteral("1:1"));
    LblModified.setText(QStringLiteral("Original"));
    LblMode.setText(QStringLiteral("Insert"));
    const QList<QPair<QLabel*, int>> labels = {{&LblCursor, 100}, {&LblModified, 125}, {&LblMode, 125},
                                               {&LblDebugState, 125}, {&LblA, 100}, {&LblX, 100},
                                               {&LblW, 25}};
    for (const auto& l : labels)
        StatusBar.addWidget(l.first, l.second);
    ui->verticalLayout->addWidget(&StatusBar);
    setProperty(WindowFlags, uint(Qt::SubWindow));

    FirstPageUntouched = true;
    LastFindBackward = false;
    Assembled = false;
    Downloaded = false;
    InteractiveAssembly = true;
    DownloadInteractive = true;

    settings.beginGroup(QString::fromLatin1(SettingsGroup::KROLCreator));
    ReadOptions(settings);
    settings.endGroup();

    Debug.SetProgram(&ProgramList);
    makeParameterLists();

    ConnectActions();
    ConnectDebugger();
    EnableAutostartMenu();
    CopyExamples();

    addImportFilter(new ImportFilter_SameModule(this));
    addImportFilter(new ImportFilter_SpecificExportTypes({&ExportTypes::KROLScript}));
}

KROLCreator::~KROLCreator()
{
    delete ui;
}

void KROLCreator::ConnectActions()
{
    const QList<QPair<QAction*, void (KROLCreator::*)()>> commands = {
        {ui->actionLoad, &KROLCreator::ActionLoadTriggered},
        {ui->actionSave_as, &KROLCreator::ActionSaveAsTriggered},
        {ui->actionNew, &KROLCreator::ActionNewTriggered},
        {ui->actionSave, &KROLCreator::ActionSaveTriggered},
        {ui->actionSave_all, &KROLCreator::ActionSaveAllTriggered},
        {ui->actionClose, &KROLCreator::ActionCloseTriggered},
        {ui->actionPrint, &KROLCreator::ActionPrintTriggered},
        {ui->actionFind, &KROLCreator::ActionFindTriggered},
        {ui->actionAssemble, &KROLCreator::ActionAssembleTriggered},
        {ui->actionDownload, &KROLCreator::ActionDownloadTriggered},
        {ui->actionDisassemble, &KROLCreator::ActionDisassembleTriggered},
        {ui->actionRun, &KROLCreator::ActionRunTriggered},
        {ui->actionStop, &KROLCreator::ActionStopTriggered},
        {ui->actionContinue, &KROLCreator::ActionContinueTriggered},
        {ui->actionOptions, &KROLCreator::ActionOptionsTriggered},
        {ui->actionOn, &KROLCreator::ActionAutoStartOnTriggered},
        {ui->actionDebugger_active, &KROLCreator::ActionDebuggerTriggered},
        {ui->actionRun_Continue, &KROLCreator::ActionDebuggerRunTriggered},
        {ui->actionPause, &KROLCreator::ActionDebuggerPauseTriggered},
        {ui->actionSingle_Step, &KROLCreator::ActionDebuggerStepTriggered},
        {ui->actionAnimate, &KROLCreator::ActionDebuggerAnimateTriggered},
        {ui->actionStop_Reset, &KROLCreator::ActionDebuggerStopTriggered},
        {ui->actionRemove_all_breakpoints, &KROLCreator::ActionRemoveAllBreakpointsTriggered},
        {ui->actionOff, &KROLCreator::ActionAutoStartOffTriggered},
        {ui->actionColours, &KROLCreator::ActionColoursTriggered},
    };
    for (const auto& c : commands)
        connect(c.first, &QAction::triggered, this, c.second);
    connect(ui->menuAutostart, &QMenu::aboutToShow, this, &KROLCreator::MenuAutostartShow);
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &KROLCreator::TabChanged);
    connect(ui->tabWidget, &QTabWidget::tabCloseRequested, this, &KROLCreator::TabClosed);
    connect(FindReplaceBar, &FindReplace::findForwardButton, this, &KROLCreator::OnFindForwardButton);
    connect(FindReplaceBar, &FindReplace::findReverseButton, this, &KROLCreator::OnFindReverseButton);
    connect(FindReplaceBar, &FindReplace::replaceButton, this, &KROLCreator::OnReplaceButton);
    connect(FindReplaceBar, &FindReplace::replaceAndFindButton, this, &KROLCreator::OnReplaceFindButton);
    connect(this, &KROLCreator::SetFindReplaceFocus, FindReplaceBar, &FindReplace::doSetFocus);
    connect(&FileWatcher, &QFileSystemWatcher::fileChanged, this, &KROLCreator::watchFile);
}

QString KROLCreator::version()
{
    return QStringLiteral(
        "4.6.0 - tools_krol_creator;Plugin-Interface.4.6.0.tools_krol_creator;Plugin ;Plugin.Interface.");
}

void KROLCreator::setEnabled(bool enabled)
{
    if (ui == nullptr)
        return;
    ui->actionDownload->setEnabled(enabled);
    ui->actionDisassemble->setEnabled(enabled);
    ui->actionDebugger_active->setEnabled(enabled);
    ui->menuDebug->setEnabled(enabled);
}

ToolsInterface* KROLCreator::clone(QString name, unsigned char id, KROLModuleInterface* module)
{
    return new KROLCreator(std::move(name), id, module);
}

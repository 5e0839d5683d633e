// The debugger and breakpoints: the slots of the Debug menu and of the editor margins. The
// debugger itself (link/Debugger) drives the module; this file shows what it reports.
#include "KROLCreator.h"

#include "CDebuggerError.h"
#include "CodeEditor.h"
#include "FindReplace.h"
#include "KROLConnectionInterface.h"
#include "KROLModuleInterface.h"
#include "ui_KROLCreator.h"

#include <QMessageBox>

void KROLCreator::ConnectDebugger()
{
    connect(&Debug, &Debugger::ShowLine, this, &KROLCreator::ShowExecLine);
    connect(&Debug, &Debugger::ClearMark, this, &KROLCreator::ClearExecLine);
    connect(&Debug, &Debugger::RunActions, this, &KROLCreator::SetRunActions);
    connect(&Debug, &Debugger::ValuesRead, this, [this](int a, int x) {
        LblA.setText(QStringLiteral("A:") + QString::number(a));
        LblX.setText(QStringLiteral("X:") + QString::number(x));
    });
    connect(&Debug, &Debugger::WaitRead, this,
            [this](bool waiting) { LblW.setText(waiting ? QStringLiteral("W") : QString()); });
    connect(&Debug, &Debugger::ProgramEnded, this,
            [this] { Inform(QStringLiteral("End of the KROL program."), QString()); });
}

void KROLCreator::Inform(const QString& text, const QString& informative)
{
    QMessageBox box(this);
    box.setText(text);
    box.setInformativeText(informative);
    box.setStandardButtons(QMessageBox::Ok);
    box.setIcon(QMessageBox::Information);
    box.exec();
}

void KROLCreator::ActionDebuggerTriggered()
{
    if (!Debug.IsActive()) {
        StartDebugger();
        return;
    }
    Debug.SwitchOff();
    for (QLabel* label : {&LblDebugState, &LblA, &LblX, &LblW})
        label->clear();
    ApplyDebuggerState();
}

// Assembles and downloads what the module does not hold yet; any failure is shown here, once,
// and leaves the debugger off.
void KROLCreator::StartDebugger()
{
    KROLConnectionInterface* link = module() != nullptr ? module()->connectionInterface() : nullptr;
    Debug.SetModuleAddress(moduleAddress());
    Debug.SetHandlers(commandHandler(), link != nullptr ? static_cast<CommandHandler*>(link) : commandHandler());
    Debug.SetAnimationDelay(AnimationDelay);
    try {
        Debug.ReadBreakpointLimit();
        const bool downloaded = Downloaded;
        if (!Assembled) {
            InteractiveAssembly = false;
            ActionAssembleTriggered();
            if (!Assembled)
                throw CDebuggerError(QStringLiteral("KROL assembler error."));
        }
        Downloaded = downloaded;
        if (!Downloaded) {
            DownloadInteractive = false;
            ActionDownloadTriggered();
            if (!Downloaded)
                throw CDebuggerError(QStringLiteral("KROL download error."));
        }
        Debug.Start();
        LblDebugState.setText(QStringLiteral("Debugger active"));
    } catch (const CDebuggerError& error) {
        QMessageBox box(this);
        box.setText(error.Message);
        box.setInformativeText(QStringLiteral("Cannot start the debugger."));
        box.setStandardButtons(QMessageBox::Ok);
        box.setIcon(QMessageBox::Warning);
        box.exec();
    }
    ApplyDebuggerState();
}

void KROLCreator::ApplyDebuggerState()
{
    const bool active = Debug.IsActive();
    ui->actionDebugger_active->setChecked(active);
    for (QAction* action : {ui->actionRun_Continue, ui->actionSingle_Step, ui->actionAnimate, ui->actionStop_Reset,
                            ui->actionRemove_all_breakpoints})
        action->setEnabled(active);
    ui->actionPause->setEnabled(false);
    for (QAction* action : {ui->actionNew, ui->actionLoad, ui->actionClose, ui->actionPrint, ui->actionUndo,
                            ui->actionRedo, ui->actionCut, ui->actionCopy, ui->actionPaste, ui->actionSelect_all,
                            ui->actionFind, ui->actionAssemble, ui->actionDownload, ui->actionRun, ui->actionStop,
                            ui->actionContinue, ui->actionDisassemble})
        action->setEnabled(!active);
    for (const TSourceFileInfo& page : qAsConst(SourceFiles)) {
        page.Editor->debugMode = active;
        page.Editor->setReadOnly(active);
        page.Editor->setContextMenuPolicy(active ? Qt::NoContextMenu : Qt::DefaultContextMenu);
        // The margin shows breakpoints only while the debugger is on.
        page.Editor->refreshBreakpointArea();
    }
    // Pages cannot be closed while debugging: no close buttons that would do nothing.
    ui->tabWidget->setTabsClosable(!active);
    ClearExecLine();
    if (active)
        FindReplaceBar->hide();
}

void KROLCreator::SetRunActions(bool running)
{
    ui->actionSingle_Step->setEnabled(!running);
    ui->actionAnimate->setEnabled(!running);
    ui->actionRun_Continue->setEnabled(!running);
    ui->actionPause->setEnabled(running);
}

// The page of the line becomes the current one; a line of a file read from disk is marked in
// the current page.
void KROLCreator::ShowExecLine(int fileIndex, int line)
{
    if (ui->tabWidget->currentIndex() != fileIndex) {
        ClearExecLine();
        if (fileIndex >= 0 && fileIndex < SourceFiles.size())
            ui->tabWidget->setCurrentIndex(fileIndex);
    }
    if (auto* editor = static_cast<CodeEditor*>(CurrentEditor()))
        editor->setExecLine(line);
}

void KROLCreator::ClearExecLine()
{
    if (auto* editor = static_cast<CodeEditor*>(CurrentEditor()))
        editor->resetHighlight();
}

void KROLCreator::ActionDebuggerStepTriggered()
{
    Debug.DoSingleStep();
}

void KROLCreator::ActionDebuggerAnimateTriggered()
{
    Debug.SetAnimationDelay(AnimationDelay);
    Debug.Animate();
}

void KROLCreator::AnimateNextStep()
{
    Debug.AnimateNextStep();
}

void KROLCreator::ActionDebuggerPauseTriggered()
{
    Debug.Pause();
}

void KROLCreator::ActionDebuggerRunTriggered()
{
    Debug.Run();
}

void KROLCreator::ActionDebuggerStopTriggered()
{
    Debug.StopReset();
}

void KROLCreator::BreakpointClick(int LineNumber)
{
    const int page = ui->tabWidget->currentIndex();
    if (Debug.ToggleBreakpoint(page, LineNumber) == Debugger::Toggle::LimitReached)
        Inform(QStringLiteral("No more breakpoints available."), QStringLiteral("Please remove some other breakpoints."));
    if (page >= 0 && page < SourceFiles.size())
        SourceFiles[page].Editor->refreshBreakpointArea();
}

void KROLCreator::ActionRemoveAllBreakpointsTriggered()
{
    Debug.RemoveAllBreakpoints();
    if (auto* editor = static_cast<CodeEditor*>(CurrentEditor()))
        editor->refreshBreakpointArea();
}

void KROLCreator::GetBreakpointState(int LineNumber, bool& BreakpointPossible, bool& BreakpointSet)
{
    Debug.BreakpointState(ui != nullptr ? ui->tabWidget->currentIndex() : -1, LineNumber, BreakpointPossible,
                          BreakpointSet);
}

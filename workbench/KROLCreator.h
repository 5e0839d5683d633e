#pragma once

#include "Command.h"
#include "Debugger.h"
#include "EditorColour.h"
#include "ParameterLists.h"
#include "TInstruction.h"
#include "TSourceFileInfo.h"
#include "ToolsInterface.h"

#include <QFileSystemWatcher>
#include <QLabel>
#include <QList>
#include <QStatusBar>
#include <QString>
#include <QTextDocument>
#include <QVariant>

class AppSettings;
class CodeEditor;
class FindReplace;
class KROLModuleInterface;
class QPlainTextEdit;
class Ui_KROLCreator;
class UploadDownload;

// The KROL workbench: one per module, cloned from the prototype the plug-in entry makes.
// Its commands live in one file per subject (pages, assemble, find, options, control,
// parameters); this file pair holds the shell.
class KROLCreator : public ToolsInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "krol.host.ToolsInterface/2.0" FILE "KROLCreator.json")
    Q_INTERFACES(ToolsInterface)

public:
    // The prototype: no form, no settings, no page; it only serves clone().
    KROLCreator();
    KROLCreator(QString name, unsigned char id, KROLModuleInterface* module);
    ~KROLCreator() override;

    QString version() override;
    void aboutToExit() override;
    void setEnabled(bool enabled) override;
    ToolsInterface* clone(QString name, unsigned char id, KROLModuleInterface* module) override;

    static QString ExtractFileName(const QString& path);
    static QString ExtractFilePath(const QString& path);

signals:
    void SetFindReplaceFocus();

private slots:
    void ActionNewTriggered();
    void ActionLoadTriggered();
    void ActionSaveTriggered();
    void ActionSaveAsTriggered();
    void ActionSaveAllTriggered();
    void ActionCloseTriggered();
    void ActionPrintTriggered();
    void ActionFindTriggered();
    void ActionColoursTriggered();
    void ActionAssembleTriggered();
    void ActionDisassembleTriggered();
    void ActionDownloadTriggered();
    void ActionRunTriggered();
    void ActionStopTriggered();
    void ActionContinueTriggered();
    void ActionOptionsTriggered();
    void ActionDebuggerTriggered();
    void ActionRemoveAllBreakpointsTriggered();
    void ActionDebuggerRunTriggered();
    void ActionDebuggerStopTriggered();
    void ActionDebuggerPauseTriggered();
    void ActionDebuggerStepTriggered();
    void ActionDebuggerAnimateTriggered();
    void ActionAutoStartOnTriggered();
    void ActionAutoStartOffTriggered();
    void MenuAutostartShow();
    void TabChanged(int Index);
    void TabClosed(int Index);
    void TextChanged();
    void EditModeChanged(bool Overwrite);
    void CursorPositionChanged();
    void BreakpointClick(int LineNumber);
    void GetBreakpointState(int LineNumber, bool& BreakpointPossible, bool& BreakpointSet);
    void AnimateNextStep();
    void EscapeKeyPress();
    void OnFindForwardButton(QString FindText, QTextDocument::FindFlags FindOptions);
    void OnFindReverseButton(QString FindText, QTextDocument::FindFlags FindOptions);
    void OnReplaceButton(QString FindText, QString ReplaceText, QTextDocument::FindFlags FindOptions);
    void OnReplaceFindButton(QString FindText, QString ReplaceText, QTextDocument::FindFlags FindOptions);
    void OnGetIncludeFileFromEditor(QString FileName, bool& FromEditor, QString& IncludeText, int& FileIndex);
    void OnFileDropped(QString FileName);
    void watchFile(QString path);
    void forwardDoDirectRequest(Command* request, Command* reply);

public slots:
    void importValue(const ExportType* key, QVariant value, QObject* sender) override;
    void handleChangedParameterList() override;
    void ProcessCommand(uchar Opcode, uchar Type, uchar MotorBank, int Value, uchar& ReplyAddress,
                        uchar& ReplyStatus, uchar& ReplyOpcode, int& ReplyValue);
    void Throwback(int FileIndex, QString FileName, int LineNumber);

private:
    void ConnectActions();

    // Pages (KROLCreatorPages.cpp)
    int NewEditorPage();
    void SetModificationStatus(bool modified);
    // Writes page index to its file, as Save does (watcher off, write, unchanged, watcher on).
    void WritePage(int index);
    // Save, or Save as for a page never saved; the page is unchanged afterwards unless cancelled.
    void SavePage(int index);
    void SaveAsPage(int index);
    QString AskSaveFileName();
    // Open and drop: into the untouched first page, else a new one; returns the page.
    int LoadIntoPage(const QString& fileName);
    void ConnectEditActions(CodeEditor* editor);
    // The last directory of a file dialog, kept per module.
    QString LastDirectoryKey() const;
    QString LastDirectory() const;
    void StoreLastDirectory(const QString& fileName);
    void ShowCurrentModificationStatus();
    // Find and status (KROLCreatorFind.cpp)
    void ShowCursorPosition(const QPlainTextEdit* editor);

    // Options and colours (KROLCreatorOptions.cpp)
    void ReadColours(AppSettings& settings);
    void ReadOptions(AppSettings& settings);
    void ApplyColours(const TSourceFileInfo& page) const;

    // Program control (KROLCreatorControl.cpp)
    void OpenInterfaceExclusive();
    void OpenInterfaceNormal();
    // A request with the module's address, flag false and trailer 12, through the command handler.
    Command SendRequest(unsigned char command, unsigned short type, unsigned char motorBank, int value);
    void AskAutoStart(const QString& text, int value);

    // Transfers (KROLCreatorTransfer.cpp): the dialog opened and closed in the order both
    // commands use, around the exclusive use of the connection.
    UploadDownload* OpenTransferDialog();
    void CloseTransferDialog(UploadDownload* dialog);
    void AssembleBeforeDownload();
    QPlainTextEdit* PageEditor(int index) const;

    // Parameter lists (KROLCreatorParameters.cpp)
    void makeParameterLists();
    void compileParameterList(QString mapName, TParameterList* list);
    void EnableAutostartMenu();

    // Debugger (KROLCreatorLink.cpp)
    void ConnectDebugger();
    void StartDebugger();
    void ApplyDebuggerState();
    void SetRunActions(bool running);
    void ShowExecLine(int fileIndex, int line);
    void ClearExecLine();
    void Inform(const QString& text, const QString& informative);

    // The current page's editor, or null.
    QPlainTextEdit* CurrentEditor() const;

    Ui_KROLCreator* ui = nullptr;
    QStatusBar StatusBar;
    QLabel LblCursor;
    QLabel LblModified;
    QLabel LblMode;
    QLabel LblDebugState;
    QLabel LblA;
    QLabel LblX;
    QLabel LblW;
    QList<TInstruction> ProgramList;
    QList<TSourceFileInfo> SourceFiles;
    FindReplace* FindReplaceBar = nullptr;
    int NewFileCounter = 1;
    bool FirstPageUntouched = false;
    bool LastFindBackward = false;
    bool Assembled = false;
    bool Downloaded = false;
    bool DoNotNotifyAgain = false;
    bool InteractiveAssembly = true;
    bool DownloadInteractive = true;
    bool AppendStopCmd = true;
    bool WriteBinaryFile = false;
    bool WriteSymbolFile = false;
    bool CheckRanges = true;
    int AnimationDelay = 10;
    QString IncludePath;
    bool ConfirmAssembler = true;
    bool ConfirmDisassembler = false;
    bool ConfirmDownload = true;
    // The debugger's state (active, program counter, running, pause and stop requests) and the
    // breakpoint count and limit.
    Debugger Debug;
    TEditorColourMap ColourMap;
    bool HighlightActiveLine = true;
    bool KeepActiveLineColor = true;
    // CommandList, the seven lists and the two flags, built by the one shared implementation.
    TParameterLists ParameterLists;
    QFileSystemWatcher FileWatcher;
};

// Editor pages and their files: creating, opening, saving, closing, printing, dropping,
// reloading after outside changes, and the questions asked before unsaved text is lost.
#include "KROLCreator.h"
#include "ui_KROLCreator.h"

#include "AppSettings.h"
#include "CodeEditor.h"
#include "Highlighter.h"
#include "KROLModuleInterface.h"
#include "LowLevelLog.h"
#include "SettingsGroup.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextStream>
#include <QVBoxLayout>

namespace {

const char FileFilter[] = "KROL source file (*.kro);;All files (*.*)";

// Whole text of a file, or empty when it cannot be read (no message, by design).
QString readTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream stream(&file);
    return stream.readAll();
}

// Failures to open are silent: the caller marks the page saved anyway.
void writeTextFile(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return;
    QTextStream stream(&file);
    stream << text;
}

QMessageBox::StandardButton askSaveQuestion(QWidget* parent, const QString& text,
                                            QMessageBox::StandardButtons buttons)
{
    QMessageBox box(parent);
    box.setText(text);
    box.setInformativeText(QStringLiteral("Do you want to save your changes?"));
    box.setStandardButtons(buttons);
    box.setIcon(QMessageBox::Question);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

// The last "/" splits the path; a path without one is split at its last "\".
static int lastSeparator(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash >= 0 ? slash : path.lastIndexOf(QLatin1Char('\\'));
}

QString KROLCreator::ExtractFileName(const QString& path)
{
    const int separator = lastSeparator(path);
    return separator < 0 ? path : path.mid(separator + 1);
}

QString KROLCreator::ExtractFilePath(const QString& path)
{
    const int separator = lastSeparator(path);
    return separator < 0 ? path : path.left(separator + 1);
}

int KROLCreator::NewEditorPage()
{
    TSourceFileInfo page;
    page.Editor = new CodeEditor(nullptr);
    page.Editor->debugMode = false;
    page.Editor->setReadOnly(false);
    page.Editor->document()->setUndoRedoEnabled(true);
    page.Editor->setKROLPCMode(false);

    // Colours come with ApplyColours below, once the page is complete.
    page.PageHighlighter = new Highlighter(page.Editor->document());
    makeParameterLists();
    for (const TParameterDescriptor& event : ParameterLists.WaitEventList)
        page.PageHighlighter->addKeyword(event.Name);

    page.PageWidget = new QWidget;
    auto* layout = new QVBoxLayout(page.PageWidget);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(page.Editor);

    // The record goes in before the tab: adding the tab may switch to it at once.
    const int index = SourceFiles.size();
    SourceFiles.append(page);
    ui->tabWidget->addTab(page.PageWidget, QStringLiteral("[New File %1]").arg(NewFileCounter));
    ++NewFileCounter;
    ui->tabWidget->setCurrentIndex(index);

    ConnectEditActions(page.Editor);
    CodeEditor* editor = page.Editor;
    connect(editor, &CodeEditor::textChanged, this, &KROLCreator::TextChanged);
    connect(editor, &CodeEditor::modeChanged, this, &KROLCreator::EditModeChanged);
    connect(editor, &CodeEditor::cursorPositionChanged, this, &KROLCreator::CursorPositionChanged);
    connect(editor, &CodeEditor::breakpointClick, this, &KROLCreator::BreakpointClick);
    connect(editor, &CodeEditor::getBreakpointState, this, &KROLCreator::GetBreakpointState);
    connect(editor, &CodeEditor::escapeKeyPress, this, &KROLCreator::EscapeKeyPress);
    connect(editor, &CodeEditor::fileDropped, this, &KROLCreator::OnFileDropped);

    ApplyColours(SourceFiles[index]);
    editor->setFocus();
    SetModificationStatus(false);
    editor->debugMode = false;
    editor->setReadOnly(false);
    setAcceptDrops(true);
    return index;
}

// The Edit menu always works on the current page's editor.
void KROLCreator::ConnectEditActions(CodeEditor* editor)
{
    const QList<QAction*> actions = {ui->actionCopy, ui->actionCut, ui->actionPaste,
                                     ui->actionSelect_all, ui->actionUndo, ui->actionRedo};
    for (QAction* action : actions)
        disconnect(action, &QAction::triggered, nullptr, nullptr);
    connect(ui->actionCopy, &QAction::triggered, editor, &CodeEditor::copy);
    connect(ui->actionCut, &QAction::triggered, editor, &CodeEditor::cut);
    connect(ui->actionPaste, &QAction::triggered, editor, &CodeEditor::paste);
    connect(ui->actionSelect_all, &QAction::triggered, editor, &CodeEditor::selectAll);
    connect(ui->actionUndo, &QAction::triggered, editor, &CodeEditor::undo);
    connect(ui->actionRedo, &QAction::triggered, editor, &CodeEditor::redo);
}

void KROLCreator::SetModificationStatus(bool Modified)
{
    LblModified.setText(Modified ? QStringLiteral("Modified") : QStringLiteral("Original"));
}

void KROLCreator::ActionNewTriggered()
{
    NewEditorPage();
    FirstPageUntouched = false;
}

QString KROLCreator::LastDirectoryKey() const
{
    return (module() ? module()->moduleName() : QString()) + QStringLiteral("_Dir");
}

QString KROLCreator::LastDirectory() const
{
    AppSettings settings;
    settings.beginGroup(SettingsGroup::KROLCreator);
    const QString dir = settings.value(LastDirectoryKey()).toString();
    settings.endGroup();
    return dir;
}

void KROLCreator::StoreLastDirectory(const QString& fileName)
{
    AppSettings settings;
    settings.beginGroup(SettingsGroup::KROLCreator);
    settings.setValue(LastDirectoryKey(), ExtractFilePath(fileName));
    settings.endGroup();
}

QString KROLCreator::AskSaveFileName()
{
    return QFileDialog::getSaveFileName(this, QStringLiteral("Save KROL file"), LastDirectory(),
                                        QLatin1String(FileFilter));
}

// Open and drop: the untouched first page takes the file, else a new page does.
int KROLCreator::LoadIntoPage(const QString& fileName)
{
    const int index = FirstPageUntouched ? 0 : NewEditorPage();
    FirstPageUntouched = false;
    TSourceFileInfo& page = SourceFiles[index];
    page.Editor->setPlainText(readTextFile(fileName));
    page.FileName = fileName;
    page.Unchanged = true;
    SetModificationStatus(false);
    ui->tabWidget->setTabText(index, ExtractFileName(fileName));
    return index;
}

void KROLCreator::ActionLoadTriggered()
{
    const QString fileName = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open KROL file"), LastDirectory(), QLatin1String(FileFilter), nullptr,
        QFileDialog::ReadOnly);
    if (fileName.isEmpty())
        return;
    LoadIntoPage(fileName);
    FileWatcher.addPath(fileName);
    StoreLastDirectory(fileName);
}

void KROLCreator::OnFileDropped(QString FileName)
{
    LoadIntoPage(FileName);
}

// Writes a page under its own name; the watcher must not report our own write.
void KROLCreator::WritePage(int index)
{
    TSourceFileInfo& page = SourceFiles[index];
    FileWatcher.removePath(page.FileName);
    writeTextFile(page.FileName, page.Editor->toPlainText());
    page.Unchanged = true;
    FileWatcher.addPath(page.FileName);
}

void KROLCreator::SaveAsPage(int index)
{
    const QString fileName = AskSaveFileName();
    if (fileName.isEmpty())
        return;
    TSourceFileInfo& page = SourceFiles[index];
    writeTextFile(fileName, page.Editor->toPlainText());
    page.FileName = fileName;
    page.Unchanged = true;
    ui->tabWidget->setTabText(index, ExtractFileName(fileName));
    SetModificationStatus(false);
    StoreLastDirectory(fileName);
}

// Save or Save as, whichever the page needs.
void KROLCreator::SavePage(int index)
{
    if (SourceFiles[index].FileName.isEmpty()) {
        SaveAsPage(index);
    } else {
        WritePage(index);
        SetModificationStatus(false);
    }
}

void KROLCreator::ActionSaveTriggered()
{
    SavePage(ui->tabWidget->currentIndex());
}

void KROLCreator::ActionSaveAsTriggered()
{
    SaveAsPage(ui->tabWidget->currentIndex());
}

void KROLCreator::ActionSaveAllTriggered()
{
    for (int i = 0; i < SourceFiles.size(); ++i) {
        if (SourceFiles[i].FileName.isEmpty()) {
            ui->tabWidget->setCurrentIndex(i);
            const QString fileName = AskSaveFileName();
            if (!fileName.isEmpty()) {
                SourceFiles[i].FileName = fileName;
                ui->tabWidget->setTabText(i, ExtractFileName(fileName));
            }
        }
        if (!SourceFiles[i].FileName.isEmpty())
            WritePage(i);
    }
    ShowCurrentModificationStatus();
}

void KROLCreator::ShowCurrentModificationStatus()
{
    const int current = ui->tabWidget->currentIndex();
    if (current >= 0 && current < SourceFiles.size())
        SetModificationStatus(!SourceFiles[current].Unchanged);
}

void KROLCreator::ActionCloseTriggered()
{
    TabClosed(ui->tabWidget->currentIndex());
}

void KROLCreator::TabClosed(int Index)
{
    if (ui->tabWidget->count() < 2 || Debug.IsActive() || Index < 0 || Index >= SourceFiles.size())
        return;
    bool close = true;
    if (!SourceFiles[Index].Unchanged) {
        switch (askSaveQuestion(this, QStringLiteral("The current file has been modified but not saved."),
                                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel)) {
        case QMessageBox::Save:
            SavePage(Index);
            close = SourceFiles[Index].Unchanged;
            break;
        case QMessageBox::Discard:
            break;
        default:
            close = false;
            break;
        }
    }
    if (close) {
        // Out of the list first: removing the tab switches to another one, which must find
        // its own record at its index.
        const TSourceFileInfo page = SourceFiles.takeAt(Index);
        ui->tabWidget->removeTab(Index);
        delete page.PageHighlighter;
        delete page.Editor;
        delete page.PageWidget;
    }
    ShowCurrentModificationStatus();
}

void KROLCreator::TabChanged(int Index)
{
    // Under the debugger the pages are read-only and the module holds the program: a switch of
    // page (the debugger's own, or the user's to set a breakpoint there) keeps both flags.
    if (!Debug.IsActive()) {
        Assembled = false;
        Downloaded = false;
    }
    if (Index < 0 || Index >= SourceFiles.size())
        return;
    CodeEditor* editor = SourceFiles[Index].Editor;
    ConnectEditActions(editor);
    SetModificationStatus(!SourceFiles[Index].Unchanged);
    EditModeChanged(editor->overwriteMode());
    ShowCursorPosition(editor);
}

void KROLCreator::TextChanged()
{
    // The empty first page stays untouched until it gets text; isEmpty copies no text.
    if (FirstPageUntouched && SourceFiles.value(0).Editor && SourceFiles[0].Editor->document()->isEmpty())
        return;
    const QObject* editor = sender();
    for (TSourceFileInfo& page : SourceFiles) {
        if (page.Editor != editor)
            continue;
        page.Unchanged = false;
        Assembled = false;
        Downloaded = false;
        SetModificationStatus(true);
        FirstPageUntouched = false;
        return;
    }
}

void KROLCreator::aboutToExit()
{
    if (objectName().isEmpty())
        return;
    qCDebug(debLowLevel()) << "KROLCreator: asking to save modified pages before exit";
    for (int i = 0; i < SourceFiles.size(); ++i) {
        if (SourceFiles[i].Unchanged)
            continue;
        ui->tabWidget->setCurrentIndex(i);
        const QString text = QStringLiteral("The file \"") + ui->tabWidget->tabText(i)
                             + QStringLiteral("\" has been modified but not saved.");
        if (askSaveQuestion(this, text, QMessageBox::Save | QMessageBox::Discard) == QMessageBox::Save)
            SavePage(i);
    }
}

void KROLCreator::watchFile(QString path)
{
    qCDebug(debLowLevel()) << "KROLCreator: file changed outside:" << path;
    QMessageBox box(this);
    box.setText(QStringLiteral("The file has been modified outside of creator."));
    box.setInformativeText(QStringLiteral("Do you want to reload it?"));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::Discard | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() == QMessageBox::Yes) {
        for (TSourceFileInfo& page : SourceFiles) {
            if (page.FileName == path) {
                page.Editor->setPlainText(readTextFile(path));
                break;
            }
        }
    }
    // Editors that replace a file by renaming drop it from the watcher; watch it again.
    FileWatcher.addPath(path);
}

void KROLCreator::ActionPrintTriggered()
{
    QPrinter printer(QPrinter::ScreenResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
    if (dialog.exec() == QDialog::Accepted)
        CurrentEditor()->print(&printer);
}

QPlainTextEdit* KROLCreator::CurrentEditor() const
{
    const int index = ui ? ui->tabWidget->currentIndex() : -1;
    if (index < 0 || index >= SourceFiles.size())
        return nullptr;
    return SourceFiles.at(index).Editor;
}

// The Assemble command: hands the current page to the assembler dialog, serves include files
// from open pages and marks the line of an error.
#include "KROLCreator.h"
#include "ui_KROLCreator.h"

#include "Assembler.h"
#include "CodeEditor.h"
#include "KROLModuleInterface.h"
#include "ParameterLists.h"

#include <QFile>
#include <QScopedPointer>
#include <QTextBlock>
#include <QTextStream>

void KROLCreator::ActionAssembleTriggered()
{
    const int index = ui->tabWidget->currentIndex();
    const TSourceFileInfo page = SourceFiles[index];
    page.Editor->resetHighlight();

    QScopedPointer<Assembler> assembler(new Assembler(this));
    connect(assembler.data(), &Assembler::Throwback, this, &KROLCreator::Throwback, Qt::DirectConnection);
    connect(assembler.data(), &Assembler::GetEditorFile, this, &KROLCreator::OnGetIncludeFileFromEditor,
            Qt::DirectConnection);

    const KROLModuleInterface* owner = module();
    const TParameterLists& lists = ParameterLists;
    assembler->SetRanges(&ParameterLists.CommandList, owner ? velocityParameterNumber(*owner) : 0,
                         owner ? owner->numberOfAxes() : 0, lists.AxisParameterLists,
                         lists.GlobalParameterLists, lists.InterruptList, lists.WaitEventList,
                         lists.IoPortLists, lists.PullUpList, lists.CoordinateList,
                         lists.CoordinateEepromFlag, lists.MultiAxisFlag);
    assembler->setModal(true);
    assembler->show();
    assembler->raise();
    assembler->activateWindow();
    assembler->SetSourceFile(ExtractFilePath(page.FileName), ExtractFileName(page.FileName), index);

    OpenInterfaceExclusive();
    bool error = false;
    assembler->DoAsm(page.Editor->toPlainText(), AppendStopCmd, WriteBinaryFile, WriteSymbolFile,
                     CheckRanges, IncludePath, error);
    OpenInterfaceNormal();

    if ((InteractiveAssembly && ConfirmAssembler) || error)
        assembler->exec();
    else
        assembler->close();

    assembler->GetAsmResult(&ProgramList);
    assembler.reset();
    InteractiveAssembly = true;
    Assembled = !ProgramList.isEmpty();
}

void KROLCreator::OnGetIncludeFileFromEditor(QString FileName, bool& FromEditor, QString& IncludeText,
                                             int& FileIndex)
{
    FromEditor = false;
    // Pages are matched by bare name only: an include written with another directory or in
    // other capitals still finds the page the user is editing.
    const QString wanted = ExtractFileName(FileName).toUpper();
    for (int i = 0; i < SourceFiles.size(); ++i) {
        if (ExtractFileName(SourceFiles[i].FileName).toUpper() != wanted)
            continue;
        FromEditor = true;
        FileIndex = i;
        IncludeText = SourceFiles[i].Editor->toPlainText();
        return;
    }
}

void KROLCreator::Throwback(int FileIndex, QString FileName, int LineNumber)
{
    int target = FileIndex;
    if (FileIndex < 0) {
        target = NewEditorPage();
        QString text;
        QFile file(FileName);
        if (file.open(QIODevice::ReadOnly | QIODevice::Text))
            text = QTextStream(&file).readAll();
        TSourceFileInfo& page = SourceFiles[target];
        page.Editor->setPlainText(text);
        page.FileName = FileName;
        page.Unchanged = true;
        SetModificationStatus(false);
        ui->tabWidget->setTabText(target, ExtractFileName(FileName));
    } else {
        ui->tabWidget->setCurrentIndex(target);
    }

    CodeEditor* editor = SourceFiles[target].Editor;
    QTextCursor cursor(editor->document());
    cursor.movePosition(QTextCursor::Start);
    // Source lines, not screen lines: a wrapped line above the error must not shift the mark.
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::MoveAnchor, LineNumber - 1);
    editor->setTextCursor(cursor);

    const TEditorColour colour = ColourMap.value(QLatin1String(EditorColour::HighlightedError));
    QTextEdit::ExtraSelection mark;
    mark.cursor = cursor;
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    mark.format.setBackground(QBrush(colour.Background, Qt::SolidPattern));
    mark.format.setForeground(QBrush(colour.Foreground, Qt::SolidPattern));
    editor->setExtraSelections({mark});
    editor->ensureCursorVisible();
}

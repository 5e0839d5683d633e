// The assembler and debugger options and the editor colours: read at start, edited in dialogs,
// written when the user accepts them.
#include "KROLCreator.h"

#include "AppSettings.h"
#include "CodeEditor.h"
#include "ColourDialog.h"
#include "Highlighter.h"
#include "KROLOptions.h"
#include "SettingsGroup.h"

namespace {

const QString ForegroundSuffix = QStringLiteral("_FG");
const QString BackgroundSuffix = QStringLiteral("_BG");

} // namespace

void KROLCreator::ReadColours(AppSettings& settings)
{
    for (auto it = ColourMap.begin(); it != ColourMap.end(); ++it) {
        it->Background = settings.value(it.key() + BackgroundSuffix, it->Background).value<QColor>();
        it->Foreground = settings.value(it.key() + ForegroundSuffix, it->Foreground).value<QColor>();
    }
}

void KROLCreator::ReadOptions(AppSettings& settings)
{
    AppendStopCmd = settings.value(QStringLiteral("AppendStopCmd"), true).toBool();
    CheckRanges = settings.value(QStringLiteral("CheckRanges"), true).toBool();
    WriteBinaryFile = settings.value(QStringLiteral("WriteBinaryFile"), false).toBool();
    WriteSymbolFile = settings.value(QStringLiteral("WriteSymbolFile"), false).toBool();
    IncludePath = settings.value(QStringLiteral("IncludePath"), QString()).toString();
    AnimationDelay = settings.value(QStringLiteral("AnimationDelay"), 10).toInt();
    ConfirmAssembler = settings.value(QStringLiteral("ConfirmAssembler"), true).toBool();
    ConfirmDisassembler = settings.value(QStringLiteral("ConfirmDisassembler"), false).toBool();
    ConfirmDownload = settings.value(QStringLiteral("ConfirmDownload"), true).toBool();
}

void KROLCreator::ActionOptionsTriggered()
{
    KROLOptions dialog(this);
    dialog.SetOptions(AppendStopCmd, WriteBinaryFile, WriteSymbolFile, CheckRanges, IncludePath, AnimationDelay,
                      ConfirmAssembler, ConfirmDisassembler, ConfirmDownload);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.GetOptions(AppendStopCmd, WriteBinaryFile, WriteSymbolFile, CheckRanges, IncludePath, AnimationDelay,
                      ConfirmAssembler, ConfirmDisassembler, ConfirmDownload);
    AppSettings settings;
    settings.beginGroup(QString::fromLatin1(SettingsGroup::KROLCreator));
    settings.setValue(QStringLiteral("AppendStopCmd"), AppendStopCmd);
    settings.setValue(QStringLiteral("CheckRanges"), CheckRanges);
    settings.setValue(QStringLiteral("WriteBinaryFile"), WriteBinaryFile);
    settings.setValue(QStringLiteral("WriteSymbolFile"), WriteSymbolFile);
    settings.setValue(QStringLiteral("IncludePath"), IncludePath);
    settings.setValue(QStringLiteral("AnimationDelay"), AnimationDelay);
    settings.setValue(QStringLiteral("ConfirmAssembler"), ConfirmAssembler);
    settings.setValue(QStringLiteral("ConfirmDisassembler"), ConfirmDisassembler);
    settings.setValue(QStringLiteral("ConfirmDownload"), ConfirmDownload);
    settings.endGroup();
}

void KROLCreator::ActionColoursTriggered()
{
    TEditorColourMap edited = ColourMap;
    auto* dialog = new ColourDialog(this);
    dialog->SetColourMap(&edited);
    dialog->SetActiveLineHighlighting(HighlightActiveLine);
    dialog->SetKeepTextColor(KeepActiveLineColor);
    if (dialog->exec() == QDialog::Accepted) {
        ColourMap = edited;
        HighlightActiveLine = dialog->GetActiveLineHighlighting();
        KeepActiveLineColor = dialog->GetKeepTextColor();
        for (const TSourceFileInfo& page : qAsConst(SourceFiles))
            ApplyColours(page);
        AppSettings settings;
        settings.beginGroup(QString::fromLatin1(SettingsGroup::KROLCreator));
        for (auto it = ColourMap.cbegin(); it != ColourMap.cend(); ++it) {
            settings.setValue(it.key() + BackgroundSuffix, it->Background);
            settings.setValue(it.key() + ForegroundSuffix, it->Foreground);
        }
        settings.setValue(QStringLiteral("HighlightActiveLine"), HighlightActiveLine);
        settings.setValue(QStringLiteral("KeepActiveLineColor"), KeepActiveLineColor);
        settings.endGroup();
    }
    delete dialog;
}

// What a page shows of the colours and line-highlighting options: the editor takes the whole map,
// the highlighter the command, comment and directive colours.
void KROLCreator::ApplyColours(const TSourceFileInfo& page) const
{
    const TEditorColour command = ColourMap.value(QLatin1String(EditorColour::KROLCommand));
    const TEditorColour comment = ColourMap.value(QLatin1String(EditorColour::Comment));
    const TEditorColour directive = ColourMap.value(QLatin1String(EditorColour::AsmDirective));
    page.Editor->setColours(ColourMap);
    page.PageHighlighter->SetHighlightingRules(command.Foreground, command.Background, comment.Foreground,
                                               comment.Background, directive.Foreground, directive.Background,
                                               false);
    page.Editor->setLineHighlighting(HighlightActiveLine, KeepActiveLineColor);
}

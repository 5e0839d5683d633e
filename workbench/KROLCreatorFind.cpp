// Find and replace in the current page, and the status labels that describe it.
#include "KROLCreator.h"
#include "ui_KROLCreator.h"

#include "FindReplace.h"

#include <QApplication>
#include <QPlainTextEdit>

void KROLCreator::ActionFindTriggered()
{
    FindReplaceBar->show();
    emit SetFindReplaceFocus();
}

void KROLCreator::EscapeKeyPress()
{
    FindReplaceBar->hide();
}

// Searches from the cursor without wrapping around; a miss leaves the cursor and beeps.
static void findOrBeep(QPlainTextEdit* editor, const QString& text, QTextDocument::FindFlags options)
{
    if (!editor->find(text, options))
        QApplication::beep();
}

void KROLCreator::OnFindForwardButton(QString FindText, QTextDocument::FindFlags FindOptions)
{
    LastFindBackward = false;
    findOrBeep(CurrentEditor(), FindText, FindOptions);
}

void KROLCreator::OnFindReverseButton(QString FindText, QTextDocument::FindFlags FindOptions)
{
    LastFindBackward = true;
    findOrBeep(CurrentEditor(), FindText, FindOptions | QTextDocument::FindBackward);
}

// Replaces the selection, whatever it holds; false (and a beep) without one.
static bool replaceSelection(QPlainTextEdit* editor, const QString& replaceText)
{
    QTextCursor cursor = editor->textCursor();
    if (!cursor.hasSelection()) {
        QApplication::beep();
        return false;
    }
    cursor.insertText(replaceText);
    editor->setTextCursor(cursor);
    return true;
}

void KROLCreator::OnReplaceButton(QString FindText, QString ReplaceText, QTextDocument::FindFlags FindOptions)
{
    Q_UNUSED(FindText)
    Q_UNUSED(FindOptions)
    replaceSelection(CurrentEditor(), ReplaceText);
}

void KROLCreator::OnReplaceFindButton(QString FindText, QString ReplaceText,
                                      QTextDocument::FindFlags FindOptions)
{
    QPlainTextEdit* editor = CurrentEditor();
    if (!replaceSelection(editor, ReplaceText))
        return;
    if (LastFindBackward)
        FindOptions |= QTextDocument::FindBackward;
    findOrBeep(editor, FindText, FindOptions);
}

void KROLCreator::ShowCursorPosition(const QPlainTextEdit* editor)
{
    const QTextCursor cursor = editor->textCursor();
    LblCursor.setText(QStringLiteral("%1:%2").arg(cursor.columnNumber() + 1).arg(cursor.blockNumber() + 1));
}

void KROLCreator::CursorPositionChanged()
{
    if (const auto* editor = qobject_cast<const QPlainTextEdit*>(sender()))
        ShowCursorPosition(editor);
}

void KROLCreator::EditModeChanged(bool Overwrite)
{
    LblMode.setText(Overwrite ? QStringLiteral("Overwrite") : QStringLiteral("Insert"));
}

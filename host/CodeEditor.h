#pragma once

#include "EditorColour.h"
#include "KrolHostGlobal.h"

#include <QPlainTextEdit>

class CodeEditorMargin;

// The source editor of a page: a plain-text editor with a margin of line numbers and breakpoints,
// marks for the executing line and for an error, the active line's highlight and an overwrite mode.
// Line numbers in this interface count from 1, as the assembler's instructions do.
class KROLHOST_EXPORT CodeEditor : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CodeEditor(QWidget* parent = nullptr);
    ~CodeEditor() override;

    // Set while the editor shows a program under the debugger: the margin then takes clicks with
    // a pointing hand and shades its breakpoint column.
    bool debugMode = false;

    // The whole colour map; entries the map lacks keep their colours.
    void setColours(const TEditorColourMap& colours);
    // keepTextColour: the active line keeps the text's own colours and only gets its background.
    void setLineHighlighting(bool highlightActiveLine, bool keepTextColour);
    // In program-counter mode the text cursor follows the executing line.
    void setKROLPCMode(bool on);
    bool KROLPCMode() const { return pcMode_; }

    // Marks the executing line and scrolls it into view; a line outside the text removes the mark.
    void setExecLine(int line);
    int execLine() const { return execLine_; }
    // Marks a line in the "Highlighted Error" colours; 0 removes the mark.
    void setErrorLine(int line);
    // Removes the executing-line and error marks.
    void resetHighlight();
    // Repaints the margin, which asks getBreakpointState for every line it shows.
    void refreshBreakpointArea();
    // Appends one line of text at the end of the document.
    void addLine(const QString& text);

    // Selections set by a caller are the error mark: they stay beneath the executing-line mark
    // and above the active line until resetHighlight(). (Hides QPlainTextEdit's own.)
    void setExtraSelections(const QList<QTextEdit::ExtraSelection>& selections);

    int marginWidth() const;
    // The 1-based line shown at a viewport height, or 0 below the last line.
    int lineAtY(int y) const;

signals:
    void breakpointClick(int line);
    void getBreakpointState(int line, bool& isCode, bool& isBreakpoint);
    void fileDropped(const QString& fileName);
    void modeChanged(bool overwrite);
    void escapeKeyPress();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class CodeEditorMargin;
    void paintMargin(QPaintEvent* event);
    void updateMarginWidth();
    void updateMargin(const QRect& rect, int dy);
    void applyColours();
    void updateSelections();
    void scrollToLine(int line);
    QTextEdit::ExtraSelection lineSelection(int line, const TEditorColour& colour, bool withForeground) const;
    TEditorColour colour(const char* key) const;

    CodeEditorMargin* margin_;
    TEditorColourMap colours_;
    QList<QTextEdit::ExtraSelection> errorMark_;
    QList<int> breakpointLines_; // of the lines the margin showed last
    int execLine_ = 0;
    bool highlightActiveLine_ = true;
    bool keepTextColour_ = true;
    bool pcMode_ = false;
};

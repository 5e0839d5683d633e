#pragma once

#include <QWidget>

class CodeEditor;

// The strip left of a CodeEditor's text: breakpoints, the executing-line arrow and line numbers.
// The editor paints it; a click toggles the breakpoint of the line.
class CodeEditorMargin : public QWidget
{
    Q_OBJECT

public:
    explicit CodeEditorMargin(CodeEditor* editor);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CodeEditor* editor_;
};

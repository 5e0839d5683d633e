#include "CodeEditorMargin.h"

#include "CodeEditor.h"

#include <QMouseEvent>

CodeEditorMargin::CodeEditorMargin(CodeEditor* editor)
    : QWidget(editor)
    , editor_(editor)
{
}

QSize CodeEditorMargin::sizeHint() const
{
    return QSize(editor_->marginWidth(), 0);
}

void CodeEditorMargin::paintEvent(QPaintEvent* event)
{
    // The debugger's flag is a plain member: the margin picks it up whenever it is drawn.
    setCursor(editor_->debugMode ? Qt::PointingHandCursor : Qt::ArrowCursor);
    editor_->paintMargin(event);
}

void CodeEditorMargin::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int line = editor_->lineAtY(event->pos().y());
    if (line > 0)
        emit editor_->breakpointClick(line);
}

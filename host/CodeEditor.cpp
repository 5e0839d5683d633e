#include "CodeEditor.h"

#include "CodeEditorMargin.h"

#include <QFontDatabase>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>

namespace {

// The executing line has no entry in the colour map: a pale green line and a green arrow.
const QColor ExecLineBackground(200, 240, 200);
const QColor ExecArrow(40, 150, 40);

// Source is read in columns; some platforms answer the fixed-font question with a proportional one.
QFont fixedPitchFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(font).fixedPitch()) {
        font.setFamily(QStringLiteral("monospace"));
        font.setStyleHint(QFont::TypeWriter);
    }
    return font;
}

QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (data && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile())
                files << url.toLocalFile();
        }
    }
    return files;
}

} // namespace

CodeEditor::CodeEditor(QWidget* parent)
    : QPlainTextEdit(parent)
    , margin_(new CodeEditorMargin(this))
    , colours_(EditorColour::KROL)
{
    setFont(fixedPitchFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabStopDistance(4 * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    setAcceptDrops(true);

    connect(this, &QPlainTextEdit::blockCountChanged, this, &CodeEditor::updateMarginWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &CodeEditor::updateMargin);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        updateSelections();
        margin_->update(); // the current line's number is drawn stronger
    });

    applyColours();
    updateMarginWidth();
    updateSelections();
}

CodeEditor::~CodeEditor() = default;

TEditorColour CodeEditor::colour(const char* key) const
{
    return colours_.value(QLatin1String(key));
}

void CodeEditor::setColours(const TEditorColourMap& colours)
{
    for (auto it = colours.cbegin(); it != colours.cend(); ++it)
        colours_[it.key()] = it.value();
    applyColours();
}

void CodeEditor::applyColours()
{
    const TEditorColour text = colour(EditorColour::OtherText);
    const TEditorColour selected = colour(EditorColour::SelectedText);
    QPalette p = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Base, text.Background);
        p.setColor(group, QPalette::Text, text.Foreground);
        p.setColor(group, QPalette::Highlight, selected.Background);
        p.setColor(group, QPalette::HighlightedText, selected.Foreground);
    }
    setPalette(p);
    updateSelections();
    margin_->update();
}

void CodeEditor::setLineHighlighting(bool highlightActiveLine, bool keepTextColour)
{
    highlightActiveLine_ = highlightActiveLine;
    keepTextColour_ = keepTextColour;
    updateSelections();
}

void CodeEditor::setKROLPCMode(bool on)
{
    pcMode_ = on;
}

void CodeEditor::setExecLine(int line)
{
    execLine_ = (line >= 1 && line <= blockCount()) ? line : 0;
    updateSelections();
    margin_->update();
    if (!execLine_)
        return;
    if (pcMode_) {
        setTextCursor(QTextCursor(document()->findBlockByNumber(execLine_ - 1)));
        ensureCursorVisible();
    } else {
        scrollToLine(execLine_);
    }
}

void CodeEditor::setErrorLine(int line)
{
    errorMark_.clear();
    if (line >= 1 && line <= blockCount())
        errorMark_ << lineSelection(line, colour(EditorColour::HighlightedError), true);
    updateSelections();
}

void CodeEditor::resetHighlight()
{
    execLine_ = 0;
    errorMark_.clear();
    updateSelections();
    margin_->update();
}

void CodeEditor::refreshBreakpointArea()
{
    margin_->update();
}

void CodeEditor::addLine(const QString& text)
{
    QTextCursor c(document());
    c.beginEditBlock();
    c.movePosition(QTextCursor::End);
    if (!c.block().text().isEmpty())
        c.insertBlock();
    c.insertText(text);
    c.endEditBlock();
    setTextCursor(c);
    ensureCursorVisible();
}

void CodeEditor::setExtraSelections(const QList<QTextEdit::ExtraSelection>& selections)
{
    errorMark_ = selections;
    updateSelections();
}

// Layers from bottom to top: active line, breakpoints, error mark, executing line.
void CodeEditor::updateSelections()
{
    QList<QTextEdit::ExtraSelection> all;
    if (highlightActiveLine_) {
        QTextEdit::ExtraSelection active;
        const TEditorColour c = colour(EditorColour::ActiveLine);
        active.format.setBackground(c.Background);
        if (!keepTextColour_)
            active.format.setForeground(c.Foreground);
        active.format.setProperty(QTextFormat::FullWidthSelection, true);
        active.cursor = textCursor();
        active.cursor.clearSelection();
        all << active;
    }
    const TEditorColour breakpoint = colour(EditorColour::HighlightedBreakpoint);
    for (int line : qAsConst(breakpointLines_)) {
        if (line != execLine_)
            all << lineSelection(line, breakpoint, true);
    }
    all << errorMark_;
    // Background only, so the syntax colours stay; the line's breakpoint mark (light text) is left out above.
    if (execLine_)
        all << lineSelection(execLine_, {QColor(), ExecLineBackground}, false);
    QPlainTextEdit::setExtraSelections(all);
}

QTextEdit::ExtraSelection CodeEditor::lineSelection(int line, const TEditorColour& c, bool withForeground) const
{
    QTextEdit::ExtraSelection s;
    s.format.setBackground(c.Background);
    if (withForeground)
        s.format.setForeground(c.Foreground);
    s.format.setProperty(QTextFormat::FullWidthSelection, true);
    s.cursor = QTextCursor(document()->findBlockByNumber(line - 1));
    return s;
}

void CodeEditor::scrollToLine(int line)
{
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    const QRectF r = blockBoundingGeometry(block).translated(contentOffset());
    if (r.top() >= 0 && r.bottom() <= viewport()->height())
        return;
    // Without line wrapping the scroll bar counts lines; put the line in the upper third.
    const int lineHeight = qMax(1, fontMetrics().height());
    verticalScrollBar()->setValue(qMax(0, line - 1 - viewport()->height() / lineHeight / 3));
}

int CodeEditor::marginWidth() const
{
    const int digits = qMax(3, int(QString::number(qMax(1, blockCount())).size()));
    const QFontMetrics fm = fontMetrics();
    return fm.height() + 6 + digits * fm.horizontalAdvance(QLatin1Char('9')) + 8;
}

int CodeEditor::lineAtY(int y) const
{
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid() && top <= y) {
        const qreal bottom = top + blockBoundingRect(block).height();
        if (block.isVisible() && y < bottom)
            return block.blockNumber() + 1;
        block = block.next();
        top = bottom;
    }
    return 0;
}

void CodeEditor::updateMarginWidth()
{
    setViewportMargins(marginWidth(), 0, 0, 0);
}

void CodeEditor::updateMargin(const QRect& rect, int dy)
{
    if (dy)
        margin_->scroll(0, dy);
    else
        margin_->update(0, rect.y(), margin_->width(), rect.height());
    if (rect.contains(viewport()->rect()))
        updateMarginWidth();
}

void CodeEditor::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect cr = contentsRect();
    margin_->setGeometry(QRect(cr.left(), cr.top(), marginWidth(), cr.height()));
}

void CodeEditor::paintMargin(QPaintEvent* event)
{
    QPainter p(margin_);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor base = palette().color(QPalette::Base);
    const QColor ink = palette().color(QPalette::Text);
    p.fillRect(event->rect(), base.lightness() > 128 ? base.darker(106) : base.lighter(130));

    const QFontMetrics fm = fontMetrics();
    const int markerWidth = fm.height() + 4;
    if (debugMode)
        p.fillRect(QRect(0, event->rect().top(), markerWidth, event->rect().height()), base.darker(115));
    p.setPen(QColor(ink.red(), ink.green(), ink.blue(), 60));
    p.drawLine(margin_->width() - 1, event->rect().top(), margin_->width() - 1, event->rect().bottom());

    const int currentLine = textCursor().blockNumber() + 1;
    const QColor breakpointColour = colour(EditorColour::HighlightedBreakpoint).Background;
    QList<int> breakpoints;

    // Every visible line is asked, not only the repainted ones: the breakpoint lines' colours
    // in the text follow what the margin learns here.
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid() && top <= margin_->height()) {
        const qreal height = blockBoundingRect(block).height();
        if (block.isVisible()) {
            const int line = block.blockNumber() + 1;
            bool isCode = false;
            bool isBreakpoint = false;
            emit getBreakpointState(line, isCode, isBreakpoint);
            const QRectF marker(2, top + (fm.height() - fm.height() * 0.75) / 2 + 0.5, markerWidth - 4,
                                fm.height() * 0.75);
            const qreal d = qMin(marker.width(), marker.height());
            const QRectF dot(marker.center().x() - d / 2, marker.center().y() - d / 2, d, d);
            if (isBreakpoint) {
                breakpoints << line;
                p.setPen(QPen(breakpointColour.darker(150), 1));
                p.setBrush(breakpointColour);
                p.drawEllipse(dot);
            } else if (isCode) {
                p.setPen(QPen(QColor(ink.red(), ink.green(), ink.blue(), 90), 1));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(dot.adjusted(d * 0.3, d * 0.3, -d * 0.3, -d * 0.3));
            }
            if (line == execLine_) {
                QPainterPath arrow;
                const QRectF a = dot.adjusted(-1, 0, 1, 0);
                arrow.moveTo(a.left(), a.top() + a.height() * 0.3);
                arrow.lineTo(a.center().x(), a.top() + a.height() * 0.3);
                arrow.lineTo(a.center().x(), a.top());
                arrow.lineTo(a.right(), a.center().y());
                arrow.lineTo(a.center().x(), a.bottom());
                arrow.lineTo(a.center().x(), a.top() + a.height() * 0.7);
                arrow.lineTo(a.left(), a.top() + a.height() * 0.7);
                arrow.closeSubpath();
                p.setPen(QPen(ExecArrow.darker(160), 1));
                p.setBrush(ExecArrow);
                p.drawPath(arrow);
            }
            if (top + height >= event->rect().top()) {
                QFont f = font();
                f.setBold(line == currentLine);
                p.setFont(f);
                QColor number = ink;
                if (line != currentLine)
                    number.setAlpha(130);
                p.setPen(number);
                p.drawText(QRectF(markerWidth, top, margin_->width() - markerWidth - 6, fm.height()),
                           Qt::AlignRight | Qt::AlignVCenter, QString::number(line));
            }
        }
        block = block.next();
        top += height;
    }

    if (breakpoints != breakpointLines_) {
        breakpointLines_ = breakpoints;
        updateSelections();
    }
}

void CodeEditor::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        setOverwriteMode(!overwriteMode());
        emit modeChanged(overwriteMode());
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        emit escapeKeyPress();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CodeEditor::dragEnterEvent(QDragEnterEvent* event)
{
    if (localFiles(event->mimeData()).isEmpty())
        QPlainTextEdit::dragEnterEvent(event);
    else
        event->acceptProposedAction();
}

void CodeEditor::dragMoveEvent(QDragMoveEvent* event)
{
    if (localFiles(event->mimeData()).isEmpty())
        QPlainTextEdit::dragMoveEvent(event);
    else
        event->acceptProposedAction();
}

void CodeEditor::dropEvent(QDropEvent* event)
{
    const QStringList files = localFiles(event->mimeData());
    if (files.isEmpty()) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    for (const QString& file : files)
        emit fileDropped(file);
}

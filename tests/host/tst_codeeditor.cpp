#include "CodeEditor.h"
#include "Highlighter.h"

#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QtTest>

namespace {

using Marks = QList<QPair<int, QColor>>; // line and background of every extra selection, bottom first

Marks marks(const CodeEditor& editor)
{
    Marks out;
    for (const QTextEdit::ExtraSelection& s : editor.extraSelections())
        out << qMakePair(s.cursor.blockNumber() + 1, s.format.background().color());
    return out;
}

QString lines(int count)
{
    QStringList l;
    for (int i = 1; i <= count; ++i)
        l << QStringLiteral("MVP ABS, 0, %1").arg(i);
    return l.join(QLatin1Char('\n'));
}

const QColor Active(240, 240, 240);
const QColor Error(255, 0, 0);
const QColor Exec(200, 240, 200);
const QColor Breakpoint(128, 0, 0);

} // namespace

class tst_CodeEditor : public QObject
{
    Q_OBJECT

private slots:
    void marks_data();
    void marks();
    void execLineKeepsSyntaxColours();
    void foreignSelectionsAreTheErrorMark();
    void execLineScrollsIntoView();
    void marginAsksVisibleLinesOnly();
    void marginClickNamesTheLine_data();
    void marginClickNamesTheLine();
    void insertKeyTogglesOverwrite();
    void escapeIsSignalled();
    void droppedFilesAreSignalled();
    void addLine_data();
    void addLine();
    void coloursReachThePalette();
};

// Each step: "exec N", "error N", "reset", "active on|off", "cursor N"; then the marks expected.
void tst_CodeEditor::marks_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<Marks>("expected");

    QTest::newRow("fresh editor: active line only") << QStringList() << Marks{{1, Active}};
    QTest::newRow("no active line") << QStringList{"active off"} << Marks{};
    QTest::newRow("exec line above the active line")
        << QStringList{"exec 3"} << Marks{{1, Active}, {3, Exec}};
    QTest::newRow("error and exec coexist")
        << QStringList{"error 2", "exec 4"} << Marks{{1, Active}, {2, Error}, {4, Exec}};
    QTest::newRow("reset removes exec and error")
        << QStringList{"error 2", "exec 4", "reset"} << Marks{{1, Active}};
    QTest::newRow("active line follows the cursor")
        << QStringList{"exec 2", "cursor 5"} << Marks{{5, Active}, {2, Exec}};
    QTest::newRow("exec beyond the text is no mark") << QStringList{"exec 6"} << Marks{{1, Active}};
    QTest::newRow("exec 0 removes the mark") << QStringList{"exec 2", "exec 0"} << Marks{{1, Active}};
    QTest::newRow("a new error replaces the old")
        << QStringList{"error 2", "error 5"} << Marks{{1, Active}, {5, Error}};
}

void tst_CodeEditor::marks()
{
    QFETCH(QStringList, steps);
    QFETCH(Marks, expected);

    CodeEditor editor;
    editor.setPlainText(lines(5));
    for (const QString& step : steps) {
        const QStringList w = step.split(QLatin1Char(' '));
        const int n = w.value(1).toInt();
        if (w[0] == QLatin1String("exec"))
            editor.setExecLine(n);
        else if (w[0] == QLatin1String("error"))
            editor.setErrorLine(n);
        else if (w[0] == QLatin1String("reset"))
            editor.resetHighlight();
        else if (w[0] == QLatin1String("active"))
            editor.setLineHighlighting(w[1] == QLatin1String("on"), true);
        else if (w[0] == QLatin1String("cursor"))
            editor.setTextCursor(QTextCursor(editor.document()->findBlockByNumber(n - 1)));
    }
    QCOMPARE(::marks(editor), expected);
}

void tst_CodeEditor::execLineKeepsSyntaxColours()
{
    CodeEditor editor;
    Highlighter highlighter(editor.document());
    highlighter.SetHighlightingRules(Qt::blue, Qt::white, Qt::darkGreen, Qt::white, Qt::black, Qt::white, false);
    editor.resize(300, 100);
    editor.setPlainText(QStringLiteral("MVP ABS, 0, 1"));
    editor.setExecLine(1);
    const QImage image = editor.viewport()->grab().toImage();
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            blue += image.pixelColor(x, y).blue() > 150 && image.pixelColor(x, y).red() < 100 ? 1 : 0;
    QVERIFY(blue > 10);
}

// A caller that sets its own selections (the throwback) gets an error mark that the active line
// does not wipe when the cursor moves, and that resetHighlight removes.
void tst_CodeEditor::foreignSelectionsAreTheErrorMark()
{
    CodeEditor editor;
    editor.setPlainText(lines(5));
    QTextEdit::ExtraSelection s;
    s.cursor = QTextCursor(editor.document()->findBlockByNumber(3));
    s.format.setBackground(Error);
    s.format.setProperty(QTextFormat::FullWidthSelection, true);
    editor.setExtraSelections({s});
    editor.setTextCursor(QTextCursor(editor.document()->findBlockByNumber(1)));
    editor.setExecLine(5);
    QCOMPARE(::marks(editor), (Marks{{2, Active}, {4, Error}, {5, Exec}}));
    editor.resetHighlight();
    QCOMPARE(::marks(editor), (Marks{{2, Active}}));
}

void tst_CodeEditor::execLineScrollsIntoView()
{
    CodeEditor editor;
    editor.resize(300, 200);
    editor.setPlainText(lines(500));
    editor.show();
    editor.setExecLine(400);
    const int first = editor.verticalScrollBar()->value() + 1;
    QVERIFY2(first <= 400 && 400 < first + 200 / editor.fontMetrics().height(), qPrintable(QString::number(first)));
    QCOMPARE(editor.textCursor().blockNumber(), 0);
    // In program-counter mode the cursor goes along.
    editor.setKROLPCMode(true);
    editor.setExecLine(3);
    QCOMPARE(editor.textCursor().blockNumber(), 2);
}

void tst_CodeEditor::marginAsksVisibleLinesOnly()
{
    CodeEditor editor;
    editor.resize(300, 200);
    editor.setPlainText(lines(300));
    QList<int> asked;
    connect(&editor, &CodeEditor::getBreakpointState, this, [&](int line, bool& isCode, bool& isBreakpoint) {
        asked << line;
        isCode = line % 2;
        isBreakpoint = line == 3;
    });
    editor.grab();
    QVERIFY(!asked.isEmpty());
    QCOMPARE(asked.first(), 1);
    QVERIFY2(asked.last() < 30, "only the lines on screen are asked");
    QCOMPARE(::marks(editor), (Marks{{1, Active}, {3, Breakpoint}}));

    // After the breakpoint goes, a refresh asks again and its colour leaves the line.
    disconnect(&editor, &CodeEditor::getBreakpointState, this, nullptr);
    editor.refreshBreakpointArea();
    editor.grab();
    QCOMPARE(::marks(editor), (Marks{{1, Active}}));
}

void tst_CodeEditor::marginClickNamesTheLine_data()
{
    QTest::addColumn<int>("line");
    QTest::newRow("first") << 1;
    QTest::newRow("middle") << 4;
    QTest::newRow("last") << 6;
}

void tst_CodeEditor::marginClickNamesTheLine()
{
    QFETCH(int, line);
    CodeEditor editor;
    editor.resize(300, 300);
    editor.setPlainText(lines(6));
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QSignalSpy clicks(&editor, &CodeEditor::breakpointClick);

    const QTextCursor at(editor.document()->findBlockByNumber(line - 1));
    const QPoint inMargin(3, editor.cursorRect(at).center().y());
    QWidget* margin = editor.childAt(editor.viewport()->geometry().left() - editor.marginWidth() + 3,
                                     editor.viewport()->geometry().top() + inMargin.y());
    QVERIFY(margin);
    QTest::mouseClick(margin, Qt::LeftButton, {}, inMargin);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toInt(), line);

    // Below the last line there is nothing to toggle.
    QTest::mouseClick(margin, Qt::LeftButton, {}, QPoint(3, margin->height() - 2));
    QCOMPARE(clicks.count(), 1);
}

void tst_CodeEditor::insertKeyTogglesOverwrite()
{
    CodeEditor editor;
    editor.setPlainText(QStringLiteral("ROR 0, 100"));
    QSignalSpy modes(&editor, &CodeEditor::modeChanged);
    QTest::keyClick(&editor, Qt::Key_Insert);
    QVERIFY(editor.overwriteMode());
    QTest::keyClicks(&editor, QStringLiteral("X"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("XOR 0, 100"));
    QTest::keyClick(&editor, Qt::Key_Insert);
    QVERIFY(!editor.overwriteMode());
    QCOMPARE(modes.count(), 2);
    QCOMPARE(modes.at(0).at(0).toBool(), true);
    QCOMPARE(modes.at(1).at(0).toBool(), false);
}

void tst_CodeEditor::escapeIsSignalled()
{
    CodeEditor editor;
    editor.setPlainText(QStringLiteral("STOP"));
    QSignalSpy escapes(&editor, &CodeEditor::escapeKeyPress);
    QTest::keyClick(&editor, Qt::Key_Escape);
    QCOMPARE(escapes.count(), 1);
    QCOMPARE(editor.toPlainText(), QStringLiteral("STOP"));
}

void tst_CodeEditor::droppedFilesAreSignalled()
{
    CodeEditor editor;
    editor.setPlainText(QStringLiteral("STOP"));
    QSignalSpy drops(&editor, &CodeEditor::fileDropped);

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.kro")), QUrl(QStringLiteral("https://example.org/b.kro"))});
    QDragEnterEvent enter(QPoint(20, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(editor.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(20, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(editor.viewport(), &drop);
    QCOMPARE(drops.count(), 1);
    QCOMPARE(drops.at(0).at(0).toString(), QStringLiteral("/tmp/a.kro"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("STOP"));

    // Dropped text is edited in as usual, without the signal.
    QMimeData text;
    text.setText(QStringLiteral("GAP 1, 0\n"));
    QDragEnterEvent textEnter(QPoint(1, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(editor.viewport(), &textEnter);
    QDropEvent textDrop(QPointF(1, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(editor.viewport(), &textDrop);
    QCOMPARE(drops.count(), 1);
    QVERIFY(editor.toPlainText().contains(QStringLiteral("GAP 1, 0")));
}

void tst_CodeEditor::addLine_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("empty page") << QString() << QStringLiteral("SAP 4, 0, 100");
    QTest::newRow("after a line") << QStringLiteral("STOP") << QStringLiteral("STOP\nSAP 4, 0, 100");
    QTest::newRow("into the empty last line") << QStringLiteral("STOP\n") << QStringLiteral("STOP\nSAP 4, 0, 100");
}

void tst_CodeEditor::addLine()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    CodeEditor editor;
    editor.setPlainText(before);
    editor.addLine(QStringLiteral("SAP 4, 0, 100"));
    QCOMPARE(editor.toPlainText(), after);
    QCOMPARE(editor.textCursor().blockNumber(), editor.blockCount() - 1);
    editor.undo();
    QCOMPARE(editor.toPlainText(), before);
}

void tst_CodeEditor::coloursReachThePalette()
{
    CodeEditor editor;
    TEditorColourMap map;
    map[QLatin1String(EditorColour::OtherText)] = {QColor(10, 20, 30), QColor(200, 210, 220)};
    map[QLatin1String(EditorColour::ActiveLine)] = {QColor(7, 8, 9), QColor(11, 12, 13)};
    editor.setColours(map);
    editor.setLineHighlighting(true, false);
    QCOMPARE(editor.palette().color(QPalette::Inactive, QPalette::Text), QColor(10, 20, 30));
    QCOMPARE(editor.palette().color(QPalette::Base), QColor(200, 210, 220));
    const QTextEdit::ExtraSelection active = editor.extraSelections().value(0);
    QCOMPARE(active.format.background().color(), QColor(11, 12, 13));
    QCOMPARE(active.format.foreground().color(), QColor(7, 8, 9));
    editor.setLineHighlighting(true, true);
    QVERIFY(!editor.extraSelections().value(0).format.hasProperty(QTextFormat::ForegroundBrush));
}

QTEST_MAIN(tst_CodeEditor)
#include "tst_codeeditor.moc"

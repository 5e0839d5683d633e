// Opening a large source in an editor page: a CodeEditor with its Highlighter, as the workbench
// makes a page, fed a generated program of N lines (default 100,000). Prints the time to load the
// text with highlighting (wall and processor time), to paint the first screen, and what one
// keystroke costs (tst_highlighter shows that it re-highlights only its line).
//   QT_QPA_PLATFORM=offscreen build/bin/bench_editor [LINES]
#include "CodeEditor.h"
#include "EditorColour.h"
#include "Highlighter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>

#include <cstdio>
#include <ctime>

namespace {

QString source(int lines)
{
    static const char* const shapes[] = {
        "LOOP%1: MVP ABS, 0, %1 // move axis 0",
        "    SAP 4, 1, SPEED + %1",
        "    WAIT POS, 0, %1",
        "    CALC ADD, %1",
        "    JC GT, LOOP%1",
        "// a comment line %1",
        "#include \"params%1.inc\"",
        "SPEED%1 = 1000 * 2 + %1",
    };
    QString text;
    text.reserve(lines * 28);
    for (int i = 0; i < lines; ++i) {
        text += QString::fromLatin1(shapes[i % 8]).arg(i);
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int lines = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const QString text = source(lines);

    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    CodeEditor editor;
    Highlighter highlighter(editor.document());
    const TEditorColourMap& c = EditorColour::KROL;
    highlighter.SetHighlightingRules(c[EditorColour::KROLCommand].Foreground, c[EditorColour::KROLCommand].Background,
                                     c[EditorColour::Comment].Foreground, c[EditorColour::Comment].Background,
                                     c[EditorColour::AsmDirective].Foreground,
                                     c[EditorColour::AsmDirective].Background, false);
    editor.setColours(c);
    editor.resize(800, 600);
    editor.setPlainText(text);
    const qint64 loadMs = timer.elapsed();
    const long loadCpuMs = long((std::clock() - cpu) * 1000 / CLOCKS_PER_SEC);

    timer.restart();
    editor.show();
    editor.grab();
    const qint64 paintMs = timer.elapsed();

    timer.restart();
    QTextCursor cursor(editor.document()->findBlockByNumber(lines / 2));
    cursor.insertText(QStringLiteral("X"));
    const qint64 keyNs = timer.nsecsElapsed();

    std::printf("lines %d\n", editor.blockCount());
    std::printf("open with highlighting: %lld ms (processor %ld ms)\n", static_cast<long long>(loadMs), loadCpuMs);
    std::printf("first paint:            %lld ms\n", static_cast<long long>(paintMs));
    std::printf("keystroke:              %.3f ms\n", keyNs / 1e6);
    return 0;
}

// Workbench page speed, run by hand through bench/workbench-bench.sh:
//   bench_workbench SOURCE.kro
// Loads the plug-in as a host does and prints, for the source: the time to open it in a page
// (text, highlighting and the first layout of the page shown), the blocks one keystroke makes the
// highlighter colour again and its time, and the time of Assemble... on the page.
#include "AppSettings.h"
#include "CodeEditor.h"
#include "Highlighter.h"
#include "PluginFixture.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// The page's own highlighter, counting the blocks it colours.
class CountingHighlighter : public Highlighter
{
public:
    using Highlighter::Highlighter;
    long blocks = 0;

protected:
    void highlightBlock(const QString& text) override
    {
        ++blocks;
        Highlighter::highlightBlock(text);
    }
};

double milliseconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// One keystroke in the middle of the text: the blocks coloured again and the time taken.
void keystroke(CodeEditor* editor, CountingHighlighter* counter)
{
    QTextCursor cursor(editor->document()->findBlockByNumber(editor->document()->blockCount() / 2));
    editor->setTextCursor(cursor);
    QApplication::processEvents();
    if (counter)
        counter->blocks = 0;
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(editor, Qt::Key_X);
    QApplication::processEvents();
    const double ms = milliseconds(timer);
    if (counter)
        std::printf("keystroke: %ld block(s) highlighted of %d, %.3f ms\n", counter->blocks,
                    editor->document()->blockCount(), ms);
    else
        std::printf("keystroke in the workbench page: %.3f ms\n", ms);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_workbench SOURCE.kro\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir home;
    qputenv("KROL_HOME", home.path().toLocal8Bit());
    {
        AppSettings settings;
        settings.beginGroup(QStringLiteral("Tools_KROLCreator"));
        settings.setValue(QStringLiteral("ConfirmAssembler"), false);
        settings.setValue(QStringLiteral("WriteBinaryFile"), true);
    }

    PluginFixture plugin;
    QString error;
    if (!plugin.load(&error)) {
        std::fprintf(stderr, "bench_workbench: %s\n", qPrintable(error));
        return 1;
    }
    std::unique_ptr<ToolsInterface> tool = plugin.clone(PluginFixture::modulePath(QStringLiteral("virtual.json")), 1, &error);
    if (!tool) {
        std::fprintf(stderr, "bench_workbench: %s\n", qPrintable(error));
        return 1;
    }
    tool->resize(1000, 700);
    tool->show();
    QApplication::processEvents();
    auto* tabs = tool->findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    auto* editor = tabs->widget(0)->findChild<CodeEditor*>();

    QElapsedTimer timer;
    timer.start();
    emit editor->fileDropped(source);
    QApplication::processEvents();
    std::printf("open %d lines in a page: %.1f ms\n", editor->document()->blockCount(), milliseconds(timer));
    keystroke(editor, nullptr);

    // The same text under a counting highlighter of the same class.
    CodeEditor probe;
    QFile file(source);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    probe.setPlainText(QString::fromLocal8Bit(file.readAll()));
    auto* counter = new CountingHighlighter(probe.document());
    counter->rehighlight();
    probe.show();
    keystroke(&probe, counter);

    // Undo the keystroke so the page assembles the file's text.
    editor->undo();
    timer.restart();
    tool->findChild<QAction*>(QStringLiteral("actionAssemble"))->trigger();
    std::printf("Assemble... through the workbench: %.1f ms\n", milliseconds(timer));
    return 0;
}

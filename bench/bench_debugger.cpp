// Module link speed in the workbench, run by hand:
//   bench_debugger [STEPS]
// Loads the plug-in as a host does, on the virtual module, with a page of 2,047 instructions, and
// prints the time of Download... (through the transfer window), of the read-back of
// Disassemble... (transfer window, disassembler and the new page) and of single steps with the
// executing line marked, the labels updated and the workbench repainted.
#include "AppSettings.h"
#include "CodeEditor.h"
#include "KROLModuleInterface.h"
#include "PluginFixture.h"
#include "VirtualConnection.h"
#include "VirtualModuleBuilder.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

double Trigger(ToolsInterface* tool, const char* action)
{
    QElapsedTimer timer;
    timer.start();
    tool->findChild<QAction*>(QLatin1String(action))->trigger();
    QApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}

void QuietSettings()
{
    AppSettings settings;
    settings.clear();
    settings.beginGroup(QStringLiteral("Tools_KROLCreator"));
    for (const char* key : {"ConfirmAssembler", "ConfirmDownload", "ConfirmDisassembler"})
        settings.setValue(QLatin1String(key), false);
    settings.setValue(QStringLiteral("DoNotNotifyAgain"), true);
    settings.endGroup();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int steps = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    QTemporaryDir home;
    qputenv("KROL_HOME", home.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    QuietSettings();

    PluginFixture plugin;
    QString error;
    if (!plugin.load(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QScopedPointer<KROLModuleInterface> module(
        VirtualModuleBuilder::createFromFile(PluginFixture::modulePath(QStringLiteral("virtual.json")), &error));
    if (!module) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QScopedPointer<ToolsInterface> tool(plugin.prototype()->clone(QStringLiteral("Virtual"), 1, module.data()));
    tool->resize(900, 600);
    tool->show();

    // 2,046 additions and a STOP: the largest program the module holds.
    QString text;
    for (int i = 0; i < 2046; ++i)
        text += QStringLiteral("        CALC ADD, 1\n");
    text += QStringLiteral("        STOP\n");
    auto* tabs = tool->findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    auto* editor = tabs->widget(0)->findChild<CodeEditor*>();
    editor->setPlainText(text);
    Trigger(tool.data(), "actionAssemble");

    const double download = Trigger(tool.data(), "actionDownload");
    VirtualModule& vm = VirtualModuleBuilder::connectionOf(module.data())->module();
    std::printf("download of %d words through the transfer window: %.1f ms\n", vm.programLength(), download);
    const double readBack = Trigger(tool.data(), "actionDisassemble");
    const int lines = tabs->count() > 1 ? tabs->widget(1)->findChild<CodeEditor*>()->blockCount() : 0;
    std::printf("read-back, disassembly and new page (%d lines): %.1f ms\n", lines, readBack);

    tabs->setCurrentIndex(0);
    Trigger(tool.data(), "actionDebugger_active");
    // The first step also lays out the page's margin for the debugger; it is shown apart.
    const double first = Trigger(tool.data(), "actionSingle_Step");
    double total = 0, worst = 0;
    for (int i = 0; i < steps; ++i) {
        const double ms = Trigger(tool.data(), "actionSingle_Step");
        total += ms;
        worst = std::max(worst, ms);
    }
    std::printf("single step with mark, labels and repaint: first %.3f ms, then %.3f ms mean, %.3f ms worst "
                "of %d (line %d marked)\n",
                first, total / steps, worst, steps, editor->execLine());
    return 0;
}

#pragma once

#include "CodeEditor.h"
#include "ModalAnswerer.h"
#include "PageProbe.h"

#include <QCoreApplication>
#include <QStringList>
#include <QVariantMap>

// Reads and drives a workbench's debugger from outside: its actions, the executing-line mark,
// the margin's breakpoint state and the module requests as short texts ("command.type.value").
namespace DebugProbe {

// Requests as texts; a whole download (DownloadStart to DownloadEnd, or a refused start) is
// one entry "download".
template <typename Requests>
QStringList Texts(const Requests& requests)
{
    QStringList texts;
    bool inDownload = false;
    for (const auto& r : requests) {
        if (r.command() == 132) {
            texts << QStringLiteral("download");
            inDownload = true;
            continue;
        }
        if (inDownload) {
            inDownload = r.command() != 133;
            continue;
        }
        texts << QStringLiteral("%1.%2.%3").arg(r.command()).arg(r.type()).arg(r.value());
    }
    return texts;
}

// The options a debugger test wants: no animation delay, no window waiting for OK.
inline QVariantMap Quiet()
{
    return {{"AnimationDelay", 0}, {"ConfirmDownload", false}, {"ConfirmDisassembler", false}};
}

inline bool Enabled(ToolsInterface* tool, const char* action)
{
    return tool->findChild<QAction*>(QLatin1String(action))->isEnabled();
}

// Lets an animation run to its end without a clock: events only, as many as it takes.
inline bool Settle(ToolsInterface* tool)
{
    QAction* pause = tool->findChild<QAction*>(QStringLiteral("actionPause"));
    for (int i = 0; i < 100000 && pause->isEnabled(); ++i)
        QCoreApplication::processEvents();
    return !pause->isEnabled();
}

// The margin's view of a line of the current page: "code", "break" or "".
inline QString Margin(const PageProbe& pages, int line)
{
    bool isCode = false, isBreakpoint = false;
    emit pages.editor(pages.current())->getBreakpointState(line, isCode, isBreakpoint);
    return isBreakpoint ? QStringLiteral("break") : isCode ? QStringLiteral("code") : QString();
}

// A click in the current page's margin.
inline void Click(const PageProbe& pages, int line)
{
    emit pages.editor(pages.current())->breakpointClick(line);
}

} // namespace DebugProbe

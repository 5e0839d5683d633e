#pragma once

#include "CodeEditor.h"
#include "ToolsInterface.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextCursor>

// Reads and drives a workbench's pages from outside, as a user or a host reaches them: the
// tab widget, the page editors, the status labels and the actions, found by object name.
class PageProbe
{
public:
    explicit PageProbe(ToolsInterface* tool) : m_tool(tool) {}

    QTabWidget* tabs() const { return m_tool->findChild<QTabWidget*>(QStringLiteral("tabWidget")); }
    int count() const { return tabs()->count(); }
    int current() const { return tabs()->currentIndex(); }
    QString title(int page) const { return tabs()->tabText(page); }
    CodeEditor* editor(int page) const { return tabs()->widget(page)->findChild<CodeEditor*>(); }
    QString text(int page) const { return editor(page)->toPlainText(); }

    // A user's edit: typed at the end of the page.
    void type(int page, const QString& text) const
    {
        QTextCursor cursor(editor(page)->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
    }

    void trigger(const char* action) const
    {
        m_tool->findChild<QAction*>(QLatin1String(action))->trigger();
    }

    // The status labels in their order: cursor, modification, mode, then the debugger's four.
    QString status(int label) const
    {
        const auto labels = m_tool->findChild<QStatusBar*>()->findChildren<QLabel*>(QString(),
                                                                                   Qt::FindDirectChildrenOnly);
        return labels.value(label) ? labels.value(label)->text() : QStringLiteral("(no label)");
    }
    QString modification() const { return status(1); }

    // A file dropped onto the current page's editor.
    void drop(const QString& path) const { emit editor(current())->fileDropped(path); }

private:
    ToolsInterface* m_tool;
};

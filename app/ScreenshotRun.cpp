#include "ScreenshotRun.h"

#include "MainWindow.h"
#include "ModuleSession.h"
#include "ToolsInterface.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPixmap>
#include <QTimer>

ScreenshotRun::ScreenshotRun(MainWindow* window, const QString& imageFile, const QString& example, int runMs,
                             QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_imageFile(imageFile)
    , m_example(example)
    , m_runMs(runMs)
{
}

void ScreenshotRun::start()
{
    // Nobody is there to answer: a window that waits for the user (the Assembler's report,
    // the transfer's OK) is closed as OK would close it.
    auto* answer = new QTimer(this);
    connect(answer, &QTimer::timeout, this, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    answer->start(50);
    QTimer::singleShot(0, this, &ScreenshotRun::act);
}

void ScreenshotRun::act()
{
    if (!m_window || m_window->sessions().isEmpty() || !m_window->openExample(m_example)) {
        emit finished(false);
        return;
    }
    ToolsInterface* tool = m_window->sessions().first()->tools().first();
    // The workbench's own commands, as a user would choose them one after the other.
    for (const char* name : {"actionAssemble", "actionDownload", "actionRun"}) {
        if (auto* action = tool->findChild<QAction*>(QLatin1String(name)))
            action->trigger();
    }
    QTimer::singleShot(m_runMs, this, &ScreenshotRun::grab);
}

void ScreenshotRun::grab()
{
    const bool saved = m_window && m_window->grab().save(m_imageFile);
    emit finished(saved);
}

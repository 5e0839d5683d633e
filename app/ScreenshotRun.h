#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class MainWindow;

// Makes the picture of the application for its documentation: opens an example in the first
// workbench, assembles, downloads and runs it on the virtual module, lets it run for a while in
// real time, then saves the window as an image and closes it. Dialogs that wait for the user
// are accepted, so it never waits for anyone.
class ScreenshotRun : public QObject
{
    Q_OBJECT

public:
    ScreenshotRun(MainWindow* window, const QString& imageFile, const QString& example, int runMs,
                  QObject* parent = nullptr);

    // Starts from the event loop; finished() follows after runMs.
    void start();

signals:
    void finished(bool saved);

private:
    void act();
    void grab();

    QPointer<MainWindow> m_window;
    QString m_imageFile;
    QString m_example;
    int m_runMs;
};

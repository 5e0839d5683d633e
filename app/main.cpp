#include "MainWindow.h"
#include "ScreenshotRun.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("KROL"));
    QApplication::setApplicationName(QStringLiteral("krol-ide"));
    QApplication::setApplicationVersion(QStringLiteral(KROL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes, assembles, downloads and debugs KROL programs."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption module(QStringLiteral("module"),
                                    QStringLiteral("Starts with a virtual module described by <file>."),
                                    QStringLiteral("file"));
    const QCommandLineOption plugins(QStringLiteral("plugins"), QStringLiteral("Loads the tool plug-ins of <folder>."),
                                     QStringLiteral("folder"));
    const QCommandLineOption fresh(QStringLiteral("no-restore"),
                                   QStringLiteral("Ignores the window layout and modules of the last exit."));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Runs an example for a moment, saves the window as <image> "
                                                       "and quits (for the documentation)."),
                                        QStringLiteral("image"));
    const QCommandLineOption example(QStringLiteral("example"),
                                     QStringLiteral("The example that --screenshot runs (default moves.kro)."),
                                     QStringLiteral("name"), QStringLiteral("moves.kro"));
    parser.addOptions({module, plugins, fresh, screenshot, example});
    parser.process(app);

    IdeOptions options;
    options.moduleFile = parser.value(module);
    options.pluginFolder = parser.value(plugins);
    options.restore = !parser.isSet(fresh) && !parser.isSet(screenshot);

    MainWindow window(options);
    TerminationSignals terminations;
    QObject::connect(&terminations, &TerminationSignals::received, &window, &QWidget::close);
    window.start();
    window.show();
    if (parser.isSet(screenshot)) {
        auto* run = new ScreenshotRun(&window, parser.value(screenshot), parser.value(example), 1500, &window);
        QObject::connect(run, &ScreenshotRun::finished, &app, [&window](bool saved) {
            window.close();
            QCoreApplication::exit(saved ? 0 : 1);
        });
        run->start();
    }
    return app.exec();
}

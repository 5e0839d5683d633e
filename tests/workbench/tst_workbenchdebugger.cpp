#include "DebugProbe.h"
#include "ModalAnswerer.h"
#include "PageProbe.h"
#include "PluginFixture.h"

#include <QHash>
#include <QtTest>

// The debugger of a workbench loaded from the plug-in file, on a module scripted on the
// recording connection: the exact requests of every command, each reply it acts on (or the
// lack of one) and what the user then sees.
class tst_WorkbenchDebugger : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startFailures_data();
    void startFailures();
    void actionsFollowTheDebugger_data();
    void actionsFollowTheDebugger();
    void step_data();
    void step();
    void run_data();
    void run();
    void animationEndsOnce();
    void breakpoints_data();
    void breakpoints();
    void breakpointsKeptOffAndOn();

private:
    // The module: replies by "command.type" (a status, or -1 for none), the breakpoint limit,
    // A and X, and the status words read one after the other (-1: no answer; the last repeats).
    // At status read actAt the action is triggered, as a user does while a run polls.
    struct Module
    {
        QHash<QString, int> replies;
        int limit = 32;
        QList<qint64> words{0};
        int reads = 0;
        int actAt = -1;
        QByteArray action;
    };
    Command answer(const Command& request);
    // Types the program, switches the debugger on and forgets the requests so far.
    void startDebugger();
    bool isOn() const { return m_tool->findChild<QAction*>("actionDebugger_active")->isChecked(); }
    QStringList sent() { return DebugProbe::Texts(m_plugin.link().requests()); }
    QStringList messages() const;

    PluginFixture m_plugin;
    std::unique_ptr<ToolsInterface> m_tool;
    std::unique_ptr<PageProbe> m_pages;
    std::unique_ptr<ModalAnswerer> m_answers;
    Module m_module;
};

namespace {

// Lines 2, 4 and 5 hold the instructions at addresses 0, 1 and 2.
const QString Program = QStringLiteral("// steps\nROR 0, 100\n\nMST 0\nSTOP\n");

const qint64 Halted = qint64(2) << 24;
const qint64 Running = qint64(1) << 24;
const qint64 Waiting = qint64(1) << 16;
const QString End = QStringLiteral("End of the KROL program.");

} // namespace

void tst_WorkbenchDebugger::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QString error;
    QVERIFY2(m_plugin.load(&error), qPrintable(error));
}

void tst_WorkbenchDebugger::init()
{
    DebugProbe::QuietOptions();
    m_module = Module();
    m_answers.reset(new ModalAnswerer);
    m_answers->leave(QStringLiteral("UploadDownload"));
    QString error;
    m_tool = m_plugin.clone(PluginFixture::modulePath(QStringLiteral("virtual.json")), 3, &error);
    QVERIFY2(m_tool, qPrintable(error));
    m_tool->setEnabled(true);
    m_pages.reset(new PageProbe(m_tool.get()));
    m_plugin.link().clear();
    m_plugin.link().setResponder([this](const Command& r) { return answer(r); });
}

void tst_WorkbenchDebugger::cleanup()
{
    m_pages.reset();
    m_tool.reset();
    QCOMPARE(m_answers->unexpected(), 0);
    QCOMPARE(m_answers->pending(), 0);
}

Command tst_WorkbenchDebugger::answer(const Command& r)
{
    const QString key = QStringLiteral("%1.%2").arg(r.command()).arg(r.type());
    if (m_module.replies.contains(key)) {
        const int status = m_module.replies.value(key);
        return status < 0 ? Command() : RecordingConnection::reply(uchar(status));
    }
    if (r.command() == 141)
        return RecordingConnection::reply(100, r.type() == 3 ? m_module.limit : 0);
    if (r.command() == 135 && r.type() == 2)
        return RecordingConnection::reply(100, -5);
    if (r.command() == 135 && r.type() == 3)
        return RecordingConnection::reply(100, 7);
    if (r.command() == 135) {
        const int read = m_module.reads++;
        if (read == m_module.actAt) {
            const QByteArray action = m_module.action;
            QTimer::singleShot(0, m_tool.get(), [this, action] { m_pages->trigger(action.constData()); });
        }
        const qint64 word = m_module.words.value(read, m_module.words.last());
        return word < 0 ? Command() : RecordingConnection::reply(100, int(word));
    }
    // Stored program words get 101, everything else 100.
    return RecordingConnection::reply(r.command() >= 1 && r.command() < 128 ? 101 : 100);
}

void tst_WorkbenchDebugger::startDebugger()
{
    m_pages->type(0, Program);
    m_pages->trigger("actionDebugger_active");
    QVERIFY(isOn());
    m_plugin.link().clear();
}

QStringList tst_WorkbenchDebugger::messages() const
{
    QStringList texts;
    for (const ModalAnswerer::Seen& seen : m_answers->seen())
        texts << seen.text + QLatin1Char('|') + seen.informativeText;
    return texts;
}

void tst_WorkbenchDebugger::startFailures_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refused");       // "command.type=status" (status -1: no answer)
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QStringList>("messages");  // every box, "text|informative"

    const QString failed = QStringLiteral("|Cannot start the debugger.");
    QTest::newRow("no breakpoint limit") << Program << "141.3=-1" << QStringList{"141.3.0"}
                                         << QStringList{"Cannot get maximum number of breakpoints." + failed};
    QTest::newRow("assembly fails") << "ROR 0, 100\nNOSUCH 1\n" << "" << QStringList{"141.3.0"}
                                    << QStringList{"|", "KROL assembler error." + failed};
    QTest::newRow("download refused")
        << Program << "132.0=10" << QStringList{"141.3.0", "download"}
        << QStringList{"Downloading a program to the module is not possible at this moment.|Please stop all "
                       "motors before trying again.",
                       "KROL download error." + failed};
    QTest::newRow("reset unanswered") << Program << "131.0=-1" << QStringList{"141.3.0", "download", "131.0.0"}
                                      << QStringList{"Communication error." + failed};
    QTest::newRow("delete all unanswered") << Program << "141.2=-1"
                                           << QStringList{"141.3.0", "download", "131.0.0", "141.2.0"}
                                           << QStringList{"Communication error." + failed};
    QTest::newRow("started") << Program << "" << QStringList{"141.3.0", "download", "131.0.0", "141.2.0"}
                             << QStringList();
}

void tst_WorkbenchDebugger::startFailures()
{
    QFETCH(QString, text);
    QFETCH(QString, refused);
    QFETCH(QStringList, requests);
    QFETCH(QStringList, messages);
    if (!refused.isEmpty())
        m_module.replies.insert(refused.section('=', 0, 0), refused.section('=', 1).toInt());
    // The assembler's window (a box without text here) stays open on an error until OK.
    for (const QString& message : messages)
        message == "|" ? m_answers->click(QStringLiteral("OK")) : m_answers->press(QMessageBox::Ok);
    m_pages->type(0, text);

    m_pages->trigger("actionDebugger_active");

    QCOMPARE(sent(), requests);
    QCOMPARE(this->messages(), messages);
    const bool started = messages.isEmpty();
    QCOMPARE(isOn(), started);
    QCOMPARE(m_pages->status(3), started ? QString("Debugger active") : QString());
    // Refused or not, the workbench goes on working.
    QCOMPARE(DebugProbe::Enabled(m_tool.get(), "actionAssemble"), !started);
    QCOMPARE(m_pages->editor(0)->isReadOnly(), started);
    if (!messages.isEmpty())
        QCOMPARE(m_answers->seen().last().icon, QMessageBox::Warning);
}

void tst_WorkbenchDebugger::actionsFollowTheDebugger_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<bool>("whileOn");

    for (const char* on : {"actionRun_Continue", "actionSingle_Step", "actionAnimate", "actionStop_Reset",
                           "actionRemove_all_breakpoints"})
        QTest::newRow(on) << QByteArray(on) << true;
    for (const char* off : {"actionNew", "actionLoad", "actionClose", "actionPrint", "actionUndo", "actionRedo",
                            "actionCut", "actionCopy", "actionPaste", "actionSelect_all", "actionFind",
                            "actionAssemble", "actionDownload", "actionRun", "actionStop", "actionContinue",
                            "actionDisassemble", "actionPause"})
        QTest::newRow(off) << QByteArray(off) << false;
}

void tst_WorkbenchDebugger::actionsFollowTheDebugger()
{
    QFETCH(QByteArray, action);
    QFETCH(bool, whileOn);
    const bool before = DebugProbe::Enabled(m_tool.get(), action.constData());
    QTabWidget* tabs = m_tool->findChild<QTabWidget*>();
    startDebugger();
    QCOMPARE(DebugProbe::Enabled(m_tool.get(), action.constData()), whileOn);
    QVERIFY(!tabs->tabsClosable());
    QCOMPARE(m_pages->editor(0)->debugMode, true);
    QCOMPARE(m_pages->editor(0)->contextMenuPolicy(), Qt::NoContextMenu);

    m_pages->trigger("actionDebugger_active");
    QVERIFY(!isOn());
    QCOMPARE(sent(), QStringList{"141.2.0"});
    QCOMPARE(DebugProbe::Enabled(m_tool.get(), action.constData()), action == "actionPause" ? false : before);
    QCOMPARE(m_pages->editor(0)->isReadOnly(), false);
    QCOMPARE(m_pages->editor(0)->contextMenuPolicy(), Qt::DefaultContextMenu);
    QVERIFY(tabs->tabsClosable());
    for (int label = 3; label < 7; ++label)
        QCOMPARE(m_pages->status(label), QString());
}

void tst_WorkbenchDebugger::step_data()
{
    QTest::addColumn<qint64>("word");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<int>("marked");          // the executing line, 0 for none
    QTest::addColumn<QStringList>("labels");  // A, X, W
    QTest::addColumn<bool>("ended");

    const QStringList step{"130.0.0", "135.1.0", "135.2.0", "135.3.0"};
    const QStringList values{"A:-5", "X:7", ""};
    QTest::newRow("next line") << (Halted | 1) << step << 4 << values << false;
    QTest::newRow("waiting") << (Halted | Waiting | 2) << step << 5 << QStringList{"A:-5", "X:7", "W"} << false;
    QTest::newRow("program stopped") << qint64(1) << step + QStringList{"131.0.0"} << 0 << values << true;
    QTest::newRow("counter past the end") << (Halted | 3) << step + QStringList{"131.0.0"} << 0 << values << true;
    QTest::newRow("no answer") << qint64(-1) << QStringList{"130.0.0", "135.1.0"} << 0
                               << QStringList{"", "", ""} << false;
}

void tst_WorkbenchDebugger::step()
{
    QFETCH(qint64, word);
    QFETCH(QStringList, requests);
    QFETCH(int, marked);
    QFETCH(QStringList, labels);
    QFETCH(bool, ended);
    startDebugger();
    m_module.words = {word};
    if (ended)
        m_answers->press(QMessageBox::Ok);

    m_pages->trigger("actionSingle_Step");

    QCOMPARE(sent(), requests);
    QCOMPARE(m_pages->editor(0)->execLine(), marked);
    QCOMPARE((QStringList{m_pages->status(4), m_pages->status(5), m_pages->status(6)}), labels);
    QCOMPARE(messages(), ended ? QStringList{End + "|"} : QStringList());
    QVERIFY(isOn());
}

void tst_WorkbenchDebugger::run_data()
{
    QTest::addColumn<QList<qint64>>("words");
    QTest::addColumn<int>("actAt");
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<int>("marked");
    QTest::addColumn<bool>("pauseLeft");   // the actions still as for a run
    QTest::addColumn<bool>("ended");

    const QString run = "129.0.0", poll = "135.1.0", values = "135.2.0", x = "135.3.0";
    QTest::newRow("to a breakpoint") << QList<qint64>{Running, Running, Halted | 2} << -1 << QByteArray()
                                     << QStringList{run, poll, poll, poll, poll, values, x} << 5 << false << false;
    QTest::newRow("to the end") << QList<qint64>{Running, 3} << -1 << QByteArray()
                                << QStringList{run, poll, poll, poll, "131.0.0"} << 0 << false << true;
    QTest::newRow("paused") << QList<qint64>{Running, Running, Halted | 1} << 0 << QByteArray("actionPause")
                            << QStringList{run, poll, "128.0.0", poll, "128.0.0", poll, poll, values, x} << 4
                            << false << false;
    QTest::newRow("stopped and reset") << QList<qint64>{Running} << 1 << QByteArray("actionStop_Reset")
                                       << QStringList{run, poll, poll, "131.0.0"} << 0 << false << false;
    QTest::newRow("switched off") << QList<qint64>{Running} << 0 << QByteArray("actionDebugger_active")
                                  << QStringList{run, poll, "141.2.0", "131.0.0"} << 0 << false << false;
    QTest::newRow("no answer") << QList<qint64>{Running, -1} << -1 << QByteArray() << QStringList{run, poll, poll}
                               << 0 << true << false;
}

void tst_WorkbenchDebugger::run()
{
    QFETCH(QList<qint64>, words);
    QFETCH(int, actAt);
    QFETCH(QByteArray, action);
    QFETCH(QStringList, requests);
    QFETCH(int, marked);
    QFETCH(bool, pauseLeft);
    QFETCH(bool, ended);
    startDebugger();
    m_module.words = words;
    m_module.actAt = actAt;
    m_module.action = action;
    if (ended)
        m_answers->press(QMessageBox::Ok);

    m_pages->trigger("actionRun_Continue");

    QCOMPARE(sent(), requests);
    QCOMPARE(m_pages->editor(0)->execLine(), marked);
    QCOMPARE(DebugProbe::Enabled(m_tool.get(), "actionPause"), pauseLeft);
    QCOMPARE(DebugProbe::Enabled(m_tool.get(), "actionSingle_Step"), !pauseLeft && isOn());
    QCOMPARE(messages(), ended ? QStringList{End + "|"} : QStringList());
}

// The end reached while animating is reported once, and the module is reset once.
void tst_WorkbenchDebugger::animationEndsOnce()
{
    startDebugger();
    m_module.words = {Halted | 1, Halted | 2, 3};
    m_answers->press(QMessageBox::Ok);

    m_pages->trigger("actionAnimate");
    QVERIFY(DebugProbe::Settle(m_tool.get()));

    const QStringList step{"130.0.0", "135.1.0", "135.2.0", "135.3.0"};
    QCOMPARE(sent(), step + step + step + QStringList{"131.0.0"});
    QCOMPARE(messages(), QStringList{End + "|"});
    QCOMPARE(m_pages->editor(0)->execLine(), 0);
    QVERIFY(DebugProbe::Enabled(m_tool.get(), "actionAnimate"));
}

void tst_WorkbenchDebugger::breakpoints_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QList<int>>("clicks");   // lines; 0 for Remove all breakpoints
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QStringList>("margin");  // lines 1 to 5 afterwards
    QTest::addColumn<bool>("limitMessage");

    const QStringList plain{"", "code", "", "code", "code"};
    QTest::newRow("set") << true << 32 << QList<int>{4} << QStringList{"141.0.1"}
                         << QStringList{"", "code", "", "break", "code"} << false;
    QTest::newRow("set and cleared") << true << 32 << QList<int>{4, 4} << QStringList{"141.0.1", "141.1.1"} << plain
                                     << false;
    QTest::newRow("comment, empty line, past the text")
        << true << 32 << QList<int>{1, 3, 9} << QStringList() << plain << false;
    QTest::newRow("debugger off") << false << 32 << QList<int>{2} << QStringList()
                                  << QStringList{"", "", "", "", ""} << false;
    QTest::newRow("limit reached") << true << 1 << QList<int>{2, 4} << QStringList{"141.0.0"}
                                   << QStringList{"", "break", "", "code", "code"} << true;
    QTest::newRow("cleared at the limit") << true << 1 << QList<int>{2, 2, 4}
                                          << QStringList{"141.0.0", "141.1.0", "141.0.1"}
                                          << QStringList{"", "code", "", "break", "code"} << false;
    QTest::newRow("all removed") << true << 32 << QList<int>{2, 5, 0} << QStringList{"141.0.0", "141.0.2", "141.2.0"}
                                 << plain << false;
}

void tst_WorkbenchDebugger::breakpoints()
{
    QFETCH(bool, on);
    QFETCH(int, limit);
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, requests);
    QFETCH(QStringList, margin);
    QFETCH(bool, limitMessage);
    m_module.limit = limit;
    if (on)
        startDebugger();
    else
        m_pages->type(0, Program);
    if (limitMessage)
        m_answers->press(QMessageBox::Ok);

    for (int line : clicks)
        line == 0 ? m_pages->trigger("actionRemove_all_breakpoints") : DebugProbe::Click(*m_pages, line);

    QCOMPARE(sent(), requests);
    QStringList shown;
    for (int line = 1; line <= 5; ++line)
        shown << DebugProbe::Margin(*m_pages, line);
    QCOMPARE(shown, margin);
    QCOMPARE(messages(), limitMessage ? QStringList{"No more breakpoints available.|Please remove some other "
                                                    "breakpoints."}
                                      : QStringList());
}

// Flags stay in the program while the debugger is off and go to the module again when it comes
// back, in address order and up to the limit it then reports.
void tst_WorkbenchDebugger::breakpointsKeptOffAndOn()
{
    m_module.limit = 3;
    startDebugger();
    for (int line : {5, 2, 4})
        DebugProbe::Click(*m_pages, line);
    m_pages->trigger("actionDebugger_active");
    QCOMPARE(DebugProbe::Margin(*m_pages, 5), QString());
    m_plugin.link().clear();
    m_module.limit = 2;

    m_pages->trigger("actionDebugger_active");

    QCOMPARE(sent(), (QStringList{"141.3.0", "131.0.0", "141.2.0", "141.0.0", "141.0.1"}));
    QCOMPARE(DebugProbe::Margin(*m_pages, 5), QString("break"));
    // The flag the module did not take is cleared by a click like any other, and then fits.
    m_plugin.link().clear();
    DebugProbe::Click(*m_pages, 5);
    DebugProbe::Click(*m_pages, 5);
    QCOMPARE(sent(), (QStringList{"141.1.2", "141.0.2"}));
}

QTEST_MAIN(tst_WorkbenchDebugger)
#include "tst_workbenchdebugger.moc"

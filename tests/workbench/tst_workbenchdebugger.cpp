#include "CaseFile.h"
#include "DebugProbe.h"
#include "WorkbenchTest.h"

#include <QHash>
#include <QtTest>

// The debugger of a workbench loaded from the plug-in file, on a module scripted on the
// recording connection: the exact requests of every command, each reply it acts on (or the
// lack of one) and what the user then sees.
class tst_WorkbenchDebugger : public WorkbenchTest
{
    Q_OBJECT

public:
    tst_WorkbenchDebugger() : WorkbenchTest(3, DebugProbe::Quiet(), {"UploadDownload"}) {}

private slots:
    void init();
    void session_data();
    void session() { runSteps(); }
    void actionsFollowTheDebugger_data();
    void actionsFollowTheDebugger();

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
    bool step(const QString& verb, const QString& args) override;
    // Types the program, switches the debugger on and forgets the requests so far.
    void startDebugger();
    bool isOn() const { return m_tool->findChild<QAction*>("actionDebugger_active")->isChecked(); }
    QStringList sent() { return DebugProbe::Texts(m_plugin.link().requests()); }

    Module m_module;
};

namespace {

// Lines 2, 4 and 5 hold the instructions at addresses 0, 1 and 2.
const QString Program = QStringLiteral("// steps\nROR 0, 100\n\nMST 0\nSTOP\n");

// Status words written "none" or as a sum: "halted+waiting+2".
QList<qint64> Words(const QString& text)
{
    const QMap<QString, qint64> flags{{"none", -1}, {"running", 1 << 24}, {"halted", 2 << 24}, {"waiting", 1 << 16}};
    QList<qint64> words;
    for (const QString& word : text.split(' ')) {
        qint64 sum = 0;
        for (const QString& part : word.split('+'))
            sum += flags.value(part, part.toLongLong());
        words << sum;
    }
    return words;
}

} // namespace

void tst_WorkbenchDebugger::init()
{
    m_module = Module();
    WorkbenchTest::init();
    m_tool->setEnabled(true);
    m_plugin.link().clear();
    m_plugin.link().setResponder([this](const Command& r) { return answer(r); });
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

// tests/cases/workbench-debugger.cases.
void tst_WorkbenchDebugger::session_data()
{
    AddCaseRows("workbench-debugger.cases");
}

bool tst_WorkbenchDebugger::step(const QString& verb, const QString& args)
{
    const QString first = args.section(' ', 0, 0);
    if (verb == "program")
        m_pages->type(0, args.isEmpty() ? Program : args);
    else if (verb == "reply")
        m_module.replies.insert(first, args.endsWith("none") ? -1 : args.section(' ', 1).toInt());
    else if (verb == "limit")
        m_module.limit = first.toInt();
    else if (verb == "words")
        m_module.words = Words(args);
    else if (verb == "act")
        m_module.actAt = first.toInt(), m_module.action = args.section(' ', 1).toLatin1();
    else
        return WorkbenchTest::step(verb, args);
    return true;
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

QTEST_MAIN(tst_WorkbenchDebugger)
#include "tst_workbenchdebugger.moc"

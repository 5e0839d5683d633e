#include "KrolProcess.h"
#include "PtySimProcess.h"

#include <QtTest>

// The module commands of krol as a user runs them: against a virtual module served on a
// pseudo-terminal by `krol sim --pty`, and their refusals of bad use.
class tst_KrolModule : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.reset()); }
    void exitStatus_data();
    void exitStatus();
    void session();

private:
    ScratchDir m_dir;
};

void tst_KrolModule::exitStatus_data()
{
    AddCaseRows("krol-module-exit.cases");
}

void tst_KrolModule::exitStatus()
{
    m_dir.write("bad.kro", "NOSUCH 1\n");
    checkExitStatusCase(m_dir.path());
}

void tst_KrolModule::session()
{
    PtySimProcess sim;
    QVERIFY2(sim.start({"--baud", "0"}), qPrintable(sim.errorOutput()));
    const QString port = sim.path();
    const QString moves = sourceDir() + "/examples/moves.kro";
    const QString back = m_dir.filePath("back.kro");
    struct Step
    {
        QStringList arguments;
        int exitCode;
        const char* out;   // regular expressions
        const char* err;
    };
    const Step steps[] = {
        {{"download", moves}, 0, "^Stored 30 instructions in the module at address 1\\.\n$", "100%"},
        {{"status"}, 0, "^State: +stopped\nProgram counter: +0\nA: +0\nX: +0\n$", "^$"},
        {{"upload", "-o", back}, 0, "^$", "^Reading back: 1/2048 words \\(0%\\)\nReading back: 31 words\n$"},
        {{"run"}, 0, "^$", "^$"},
        {{"status", "--json"}, 0, "\"state\": \"running\"", "^$"},
        {{"download", moves}, 1,
         "^$", "^krol download: download failed: Downloading a program to the module is not possible at this "
               "moment\\. Please stop all motors before trying again\\.\n$"},
        {{"stop"}, 0, "^$", "^$"},
        {{"status"}, 0, "^State: +halted", "^$"},
        {{"continue"}, 0, "^$", "^$"},
        {{"status", "--json"}, 0, "\"state\": \"running\"", "^$"},
        {{"stop", "--address", "5", "--timeout", "40"}, 1, "^$",
         "^krol stop: ApplStop: no reply from the module on %P within 40 ms\n$"},
        {{"stop"}, 0, "^$", "^$"},
    };
    for (const Step& step : steps) {
        const KrolResult r = runKrol(QStringList{step.arguments} << "--port" << port);
        const QString where = step.arguments.join(' ') + ": " + r.err;
        QVERIFY2(r.exitCode == step.exitCode, qPrintable(where));
        QVERIFY2(QRegularExpression(step.out).match(r.out).hasMatch(), qPrintable(where + r.out));
        const QString err = QString(step.err).replace("%P", QRegularExpression::escape(port));
        QVERIFY2(QRegularExpression(err).match(r.err).hasMatch(), qPrintable(where));
    }
    // What came back assembles to the program that went in.
    const KrolResult a = runKrol({"asm", moves, "-o", m_dir.filePath("moves.bin")});
    const KrolResult b = runKrol({"asm", back, "-o", m_dir.filePath("back.bin")});
    QVERIFY2(a.exitCode == 0 && b.exitCode == 0, qPrintable(a.err + b.err));
    QCOMPARE(m_dir.read("back.bin"), m_dir.read("moves.bin"));
    QVERIFY(!m_dir.read("moves.bin").isEmpty());
    QVERIFY(sim.stop());
}

QTEST_GUILESS_MAIN(tst_KrolModule)
#include "tst_krol_module.moc"

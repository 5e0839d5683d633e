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
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrPattern");

    const QString moves = "%S/examples/moves.kro";
    QTest::newRow("no module") << QStringList{"status"} << 2 << "^krol status: no module: give --port DEVICE or --sim\n";
    QTest::newRow("port and sim") << QStringList{"run", "--sim", "--port", "/dev/null"} << 2
                                  << "^krol run: --port and --sim exclude each other\n";
    QTest::newRow("address too big") << QStringList{"stop", "--sim", "--address", "256"} << 2
                                     << "^krol stop: invalid value '256' for --address: a whole number from 0 to 255";
    QTest::newRow("baud 0 on a port") << QStringList{"continue", "--port", "/dev/null", "--baud", "0"} << 2
                                      << "invalid value '0' for --baud: a whole number from 1 to 4000000";
    QTest::newRow("timeout not a number") << QStringList{"status", "--sim", "--timeout", "soon"} << 2
                                          << "invalid value 'soon' for --timeout";
    QTest::newRow("pty baud negative") << QStringList{"sim", "--pty", "--baud", "-1"} << 2
                                       << "^krol sim: invalid value '-1' for --baud: a whole number from 0 to";
    QTest::newRow("pty takes no program") << QStringList{"sim", "--pty", moves} << 2
                                          << "^krol sim: unexpected argument";
    QTest::newRow("download needs a program") << QStringList{"download", "--sim"} << 2 << "missing PROGRAM";
    QTest::newRow("download missing file") << QStringList{"download", "--sim", "%D/none.kro"} << 2 << "none.kro";
    QTest::newRow("download bad source") << QStringList{"download", "--sim", "%D/bad.kro"} << 1
                                         << "bad.kro:1: error: ";
    QTest::newRow("download") << QStringList{"download", "--sim", moves} << 0
                              << "^Downloading: 1/30 words \\(3%\\)\n(.*\n)*Downloading: 30/30 words \\(100%\\)\n$";
    QTest::newRow("upload of an empty module") << QStringList{"upload", "--sim"} << 0
                                               << "^Reading back: 1/2048 words \\(0%\\)\n"
                                                  "krol upload: the module's program memory is empty\n$";
    QTest::newRow("upload output is its module") << QStringList{"upload", "--sim", "--module", "%D/bad.kro", "-o",
                                                                "%D/bad.kro"}
                                                 << 2 << "bad.kro";
    QTest::newRow("missing port") << QStringList{"status", "--port", "/dev/krol-none"} << 1
                                  << "^krol status: cannot open /dev/krol-none: there is no such port\\. ";
    QTest::newRow("run on a virtual module") << QStringList{"run", "--sim"} << 0 << "^$";
}

void tst_KrolModule::exitStatus()
{
    m_dir.write("bad.kro", "NOSUCH 1\n");
    checkExitStatusRow(m_dir.path());
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

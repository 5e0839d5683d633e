#include "KrolProcess.h"
#include "TestData.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class tst_KrolSim : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void finalState_data();
    void finalState();
    void exitStatusAndMessages_data();
    void exitStatusAndMessages();
    void traceThroughAnInclude();
    void traceIsOneLinePerInstruction_data();
    void traceIsOneLinePerInstruction();
    void jsonKeys();
    void binaryRunsLikeItsSource();
    void examplesRunToTheirEnd();
    void unwritableOutput_data();
    void unwritableOutput();

private:
    ScratchDir m_dir;
};

namespace {

// Follows a path such as "axes/1/position" into a JSON value.
QJsonValue at(QJsonValue value, const QString& path)
{
    for (const QString& part : path.split('/')) {
        bool index = false;
        const int i = part.toInt(&index);
        value = index ? value.toArray().at(i) : value.toObject().value(part);
    }
    return value;
}

QString text(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::Bool: return v.toBool() ? "true" : "false";
    case QJsonValue::Double: return QString::number(qint64(v.toDouble()));
    case QJsonValue::String: return v.toString();
    case QJsonValue::Null: return "null";
    default: return "?";
    }
}

QStringList keys(const QJsonValue& v)
{
    QStringList k = v.toObject().keys();
    k.sort();
    return k;
}

} // namespace

void tst_KrolSim::init()
{
    QVERIFY(m_dir.reset());
}

void tst_KrolSim::finalState_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("expected");   // PATH=VALUE in the JSON object

    QTest::newRow("registers") << QByteArray("CALC LOAD, 7\nCALCX SWAP\nCALC ADD, 3\n")
                               << QStringList() << 0
                               << QStringList{"result=end", "a=3", "x=7", "instructions=4",
                                              "end_address=3", "pc=4", "state=stopped"};
    QTest::newRow("moves") << QByteArray("SAP 4, 0, 100000\nMVP ABS, 0, 5000\nMVP ABS, 1, -300\n"
                                         "WAIT POS, 0, 0\nWAIT POS, 1, 0\n")
                           << QStringList() << 0
                           << QStringList{"axes/0/position=5000", "axes/1/position=-300",
                                          "axes/2/position=0", "axes/0/velocity=0",
                                          "axes/1/reference_switch=true"};
    QTest::newRow("still rotating at the end")
        << QByteArray("ROR 2, 1000\nWAIT TICKS, 0, 10\n") << QStringList() << 0
        << QStringList{"axes/2/velocity=1000", "module_time_ms=100", "result=end"};
    QTest::newRow("left limit switch")
        << QByteArray("SAP 4, 1, 2000000\nSAP 5, 1, 0\nROL 1, 2000000\nWAIT LIMSW, 1, 0\n")
        << QStringList() << 0
        << QStringList{"axes/1/left_limit_switch=true", "axes/1/right_limit_switch=false",
                       "axes/1/velocity=0", "axes/1/position=-10000000"};
    QTest::newRow("time limit") << QByteArray("L: CALC ADD, 1\nJA L\n") << QStringList{"--time", "50"}
                                << 3
                                << QStringList{"result=time-limit", "module_time_ms=50",
                                               "instructions=2000", "a=1000", "state=running",
                                               "end_address=null"};
    QTest::newRow("never-ending loop bounded by steps")
        << QByteArray("L: CALC ADD, 1\nJA L\n") << QStringList{"--max-steps", "1001"} << 3
        << QStringList{"result=step-limit", "instructions=1001", "a=501", "module_time_ms=25"};
    QTest::newRow("waiting at the time limit")
        << QByteArray("CALC LOAD, 1\nWAIT TICKS, 0, 1000\n") << QStringList{"--time", "5000"} << 3
        << QStringList{"result=time-limit", "waiting=true", "pc=1", "instructions=2"};
    QTest::newRow("call stack overflow")
        << QByteArray("CALC LOAD, 2\nR: CSUB R\n") << QStringList() << 1
        << QStringList{"result=error", "error=call stack overflow at address 1", "end_address=1",
                       "error_flags/EAL=true", "instructions=18", "state=stopped"};
    QTest::newRow("return without a call")
        << QByteArray("RSUB\n") << QStringList() << 1
        << QStringList{"result=error", "error=return without a call at address 0"};
    QTest::newRow("division by zero goes on")
        << QByteArray("CALC DIV, 0\nCALC LOAD, 4\n") << QStringList() << 0
        << QStringList{"result=end", "a=4", "error_flags/EAL=true", "error_flags/ETO=false"};
    QTest::newRow("jump to the end of memory")
        << QByteArray("CALC LOAD, 9\nCODE 22, 0, 0, 2000\n") << QStringList() << 0
        << QStringList{"result=end", "end_address=2000", "end_location=null", "a=9"};
}

void tst_KrolSim::finalState()
{
    QFETCH(QByteArray, source);
    QFETCH(QStringList, options);
    QFETCH(QStringList, expected);
    const QString path = m_dir.write("p.kro", source);
    const KrolResult r = runKrol(QStringList{"sim", "--json", path} + options);
    QTEST(r.exitCode, "exitCode");
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    QVERIFY2(doc.isObject(), qPrintable(error.errorString() + "\n" + r.out + r.err));
    for (const QString& e : expected) {
        const QString path = e.section('=', 0, 0);
        QCOMPARE(path + "=" + text(at(doc.object(), path)), e);
    }
}

void tst_KrolSim::exitStatusAndMessages_data()
{
    QTest::addColumn<QStringList>("arguments");   // %D is the temporary directory
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrPattern");

    QTest::newRow("end") << QStringList{"sim", "%D/ok.kro"} << 0 << "^$";
    QTest::newRow("assembler error") << QStringList{"sim", "%D/bad.kro"} << 1
                                     << "^%D/bad.kro:2: error: Unknown instruction\n$";
    QTest::newRow("range checked with a module")
        << QStringList{"sim", "--module", "%S/modules/virtual.json", "%D/axis.kro"} << 1
        << "^%D/axis.kro:1: error: Axis number out of range\n$";
    QTest::newRow("bad checksum") << QStringList{"sim", "%D/checksum.bin"} << 1
                                  << "^%D/checksum.bin: error: record 1: checksum mismatch "
                                     "\\(stored 28, computed 29\\)\n$";
    QTest::newRow("unknown opcode") << QStringList{"sim", "%D/opcode.bin"} << 1
                                    << "^%D/opcode.bin: error: Unknown opcode at address 0\n$";
    QTest::newRow("too long") << QStringList{"sim", "%D/long.bin"} << 1
                              << "the program has 2048 instructions; the module holds at most 2047";
    QTest::newRow("fault names the line") << QStringList{"sim", "%D/fault.kro"} << 1
                                          << "^%D/fault.kro:2: error: program halted: call stack "
                                             "overflow at address 1\n$";
    QTest::newRow("time limit") << QStringList{"sim", "--time", "7", "%D/loop.kro"} << 3
                                << "^krol sim: time limit reached after 7 ms of module time\n$";
    QTest::newRow("step limit") << QStringList{"sim", "--max-steps", "9", "%D/loop.kro"} << 3
                                << "^krol sim: step limit reached after 9 instructions\n$";
    QTest::newRow("missing file") << QStringList{"sim", "%D/none.kro"} << 2
                                  << "cannot read '%D/none.kro': no such file";
    QTest::newRow("missing binary") << QStringList{"sim", "%D/none.bin"} << 2
                                    << "cannot read '%D/none.bin': no such file";
    QTest::newRow("no program") << QStringList{"sim"} << 2 << "missing PROGRAM";
    QTest::newRow("bad time") << QStringList{"sim", "--time", "1.5", "%D/ok.kro"} << 2
                              << "invalid value '1.5' for --time";
    QTest::newRow("zero steps") << QStringList{"sim", "--max-steps", "0", "%D/ok.kro"} << 2
                                << "invalid value '0' for --max-steps";
    QTest::newRow("unknown option") << QStringList{"sim", "--pty", "%D/ok.kro"} << 2
                                    << "Unknown option 'pty'";
    QTest::newRow("bad module") << QStringList{"sim", "--module", "%D/none.json", "%D/ok.bin"} << 2
                                << "none.json";
}

void tst_KrolSim::exitStatusAndMessages()
{
    m_dir.write("ok.kro", "CALC LOAD, 1\n");
    m_dir.write("ok.bin", QByteArray::fromHex("1c0000000000001c"));
    m_dir.write("bad.kro", "CALC LOAD, 1\nFLY 1\n");
    m_dir.write("axis.kro", "ROR 7, 100\n");
    m_dir.write("fault.kro", "CALC LOAD, 1\nR: CSUB R\n");
    m_dir.write("loop.kro", "L: JA L\n");
    m_dir.write("checksum.bin", QByteArray::fromHex("1c0000000000001c" "1c0000000000011c"));
    m_dir.write("opcode.bin", QByteArray::fromHex("3a0000000000003a"));
    QByteArray words;
    for (int i = 0; i < 2048; ++i)
        words += QByteArray::fromHex("1300000000000013");   // CALC ADD, 0
    m_dir.write("long.bin", words);
    checkExitStatusRow(m_dir.path());
}

void tst_KrolSim::traceThroughAnInclude()
{
    m_dir.write("lib/sub.inc", "SUB:    CALC ADD, 2\n        RSUB\n");
    m_dir.write("main.kro", "        CALC LOAD, 1\n        JA START\n#include sub.inc\n"
                      "START:  CSUB SUB\n        WAIT TICKS, 0, 3\n        CALCX SWAP\n");
    const KrolResult r = runKrol({"sim", "--trace", "-I", "lib", "main.kro"}, m_dir.path());
    QCOMPARE(r.exitCode, 0);
    const QString inc = m_dir.filePath("lib/sub.inc");
    const QStringList expected{
        "       0 ms     0  main.kro:1  CALC LOAD, 1      A=1 X=0",
        "       0 ms     1  main.kro:2  JA Lbl4           A=1 X=0",
        "       0 ms     4  main.kro:4  CSUB Lbl2         A=1 X=0",
        "       0 ms     2  " + inc + ":1  CALC ADD, 2       A=3 X=0",
        "       0 ms     3  " + inc + ":2  RSUB              A=3 X=0",
        "       0 ms     5  main.kro:5  WAIT TICKS, 0, 3  A=3 X=0",
        "      30 ms     6  main.kro:6  CALCX SWAP        A=0 X=3",
        "      30 ms     7  main.kro:8  STOP              A=0 X=3",
    };
    QStringList lines = r.out.split('\n').mid(0, expected.size());
    // The file names differ in length: compare with the location column's padding taken out.
    for (QString& line : lines)
        line.replace(QRegularExpression("(\\.(kro|inc):\\d+) +"), "\\1  ");
    QStringList want = expected;
    for (QString& line : want)
        line.replace(QRegularExpression("(\\.(kro|inc):\\d+) +"), "\\1  ");
    QCOMPARE(lines, want);
    QVERIFY(r.out.split('\n').at(expected.size()).startsWith("Result:"));
}

void tst_KrolSim::traceIsOneLinePerInstruction_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("linePattern");
    QTest::newRow("source") << "loop.kro"
                            << "^ +\\d+ ms +[0-2]  /.*/loop\\.kro:[1-3]  (CALC ADD, 1|COMP 5     "
                               "|JA Lbl0    )  A=-?\\d+ X=0$";
    QTest::newRow("binary") << "loop.bin" << "^ +\\d+ ms +[0-2]  (CALC ADD, 1|COMP 5|JA Lbl0) +A=-?\\d+ X=0$";
}

void tst_KrolSim::traceIsOneLinePerInstruction()
{
    QFETCH(QString, program);
    QFETCH(QString, linePattern);
    m_dir.write("loop.kro", "L: CALC ADD, 1\nCOMP 5\nJA L\n");
    QCOMPARE(runKrol({"asm", "-o", m_dir.filePath("loop.bin"), m_dir.filePath("loop.kro")}).exitCode, 0);
    const KrolResult r = runKrol({"sim", "--trace", "--json", "--max-steps", "100000",
                                  m_dir.filePath(program)});
    QCOMPARE(r.exitCode, 3);
    const QStringList lines = r.out.split('\n');
    const int json = lines.indexOf("{");
    QCOMPARE(json, 100000);
    const QRegularExpression shape(linePattern);
    for (int i = 0; i < json; ++i)
        QVERIFY2(shape.match(lines.at(i)).hasMatch(), qPrintable(lines.at(i)));
    QCOMPARE(lines.at(json - 1).section("A=", 1), QString("33334 X=0"));
    const QJsonDocument doc = QJsonDocument::fromJson(lines.mid(json).join('\n').toUtf8());
    QCOMPARE(doc.object().value("instructions").toInt(), 100000);
}

void tst_KrolSim::jsonKeys()
{
    const QString path = m_dir.write("p.kro", "CALC LOAD, 1\n");
    const KrolResult r = runKrol({"sim", "--json", "--stats", path});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QCOMPARE(keys(o), QStringList({"a", "axes", "end_address", "end_location", "error",
                                   "error_flags", "instructions", "module_time_ms", "pc", "result",
                                   "state", "stats", "waiting", "x"}));
    QCOMPARE(keys(o.value("error_flags")), QStringList({"EAL", "EDV", "EPO", "ESD", "ETO"}));
    QCOMPARE(o.value("axes").toArray().size(), 3);
    QCOMPARE(keys(o.value("axes").toArray().at(1)),
             QStringList({"axis", "left_limit_switch", "position", "reference_switch",
                          "right_limit_switch", "velocity"}));
    QCOMPARE(keys(o.value("stats")), QStringList({"cpu_time_s", "instructions",
                                                  "instructions_per_second", "module_time_ms",
                                                  "wall_time_s"}));
    QCOMPARE(o.value("end_location").toString(), path + ":3");   // the STOP added after the last line

    // Text: the same facts, one per line, the speed at the end.
    const KrolResult t = runKrol({"sim", "--stats", path});
    QVERIFY2(t.out.startsWith("Result:           program end (STOP at address 1, " + path + ":3)\n"
                              "Module time:      0 ms\nInstructions:     2\n"),
             qPrintable(t.out));
    QVERIFY(t.out.contains("\n   2            0            0  on         off         off\n"));
    QVERIFY(t.out.contains("\nInstructions per second:  "));
}

void tst_KrolSim::binaryRunsLikeItsSource()
{
    const QString module = sourceDir() + "/modules/virtual.json";
    const QString source = sourceDir() + "/examples/pick-and-place.kro";
    const QString bin = m_dir.filePath("pp.bin");
    QCOMPARE(runKrol({"asm", "--module", module, "-o", bin, source}).exitCode, 0);
    QJsonObject fromSource =
        QJsonDocument::fromJson(runKrol({"sim", "--json", source}).out.toUtf8()).object();
    QJsonObject fromBinary =
        QJsonDocument::fromJson(runKrol({"sim", "--json", "--module", module, bin}).out.toUtf8()).object();
    QVERIFY(!fromSource.value("end_location").isNull());
    QVERIFY(fromBinary.value("end_location").isNull());
    fromSource.remove("end_location");
    fromBinary.remove("end_location");
    QCOMPARE(fromBinary, fromSource);
}

void tst_KrolSim::examplesRunToTheirEnd()
{
    const QDir examples(sourceDir() + "/examples");
    const QStringList sources = examples.entryList({"*.kro"}, QDir::Files);
    QVERIFY(sources.size() >= 3);
    for (const QString& name : sources) {
        const KrolResult r = runKrol({"sim", "--json", "--module",
                                      sourceDir() + "/modules/virtual.json", examples.filePath(name)});
        QVERIFY2(r.exitCode == 0, qPrintable(name + ": " + r.err));
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(o.value("result").toString(), QString("end"));
        QVERIFY(o.value("module_time_ms").toInt() > 0);
    }
}

void tst_KrolSim::unwritableOutput_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("text") << QStringList();
    QTest::newRow("json") << QStringList{"--json"};
    QTest::newRow("trace") << QStringList{"--trace"};
}

void tst_KrolSim::unwritableOutput()
{
    QFETCH(QStringList, options);
    if (!IsCharacterDevice("/dev/full"))
        QSKIP("/dev/full is not a character device here");
    QProcess p;
    p.setStandardOutputFile("/dev/full");
    p.start(krolBinary(), QStringList{"sim", m_dir.write("p.kro", "CALC LOAD, 1\n")} + options);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()), QString("krol sim: cannot write to standard output: No space left on device\n"));
}

QTEST_GUILESS_MAIN(tst_KrolSim)
#include "tst_krol_sim.moc"

#include "CaseFile.h"
#include "KrolProcess.h"
#include "TestData.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <QtTest>

#include <algorithm>
#include <csignal>

class tst_KrolSim : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void finalState_data();
    void finalState();
    void exitStatusAndMessages_data();
    void exitStatusAndMessages();
    void traceIsOneLinePerInstruction_data();
    void traceIsOneLinePerInstruction();
    void signalStopsTheRun_data();
    void signalStopsTheRun();
    void motionCsv();
    void motionChart();
    void readmeChartIsCurrent();
    void examples();
    void unwritableOutput_data();
    void unwritableOutput();

private:
    ScratchDir m_dir;
};

namespace {

// Follows a path such as "axes/1/position" into a JSON value; "_" is the whole object.
QJsonValue at(QJsonValue value, const QString& path)
{
    for (const QString& part : path.split('/', Qt::SkipEmptyParts)) {
        if (part == "_")
            continue;
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
    case QJsonValue::Array: return QString("array of %1").arg(v.toArray().size());
    case QJsonValue::Object: {
        QStringList keys = v.toObject().keys();
        keys.sort();
        return keys.join(',');
    }
    default: return "?";
    }
}

} // namespace

void tst_KrolSim::init()
{
    QVERIFY(m_dir.reset());
}

// tests/cases/krol-sim.cases: a source, the exit status of "krol sim --json" with the options
// given, and values of the JSON object printed.
void tst_KrolSim::finalState_data()
{
    AddCaseRows("krol-sim.cases");
}

void tst_KrolSim::finalState()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    const QRegularExpressionMatch exits = QRegularExpression("^exits (\\d+)(?: with (.+))?$").match(results.value(0));
    QVERIFY2(exits.hasMatch(), "the first result: \"exits STATUS [with OPTIONS]\"");
    const QString path = m_dir.write("p.kro", body.join('\n').toUtf8() + '\n');
    const KrolResult r = runKrol(QStringList{"sim", "--json", path} + exits.captured(2).split(' ', Qt::SkipEmptyParts));
    QCOMPARE(r.exitCode, exits.captured(1).toInt());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    QVERIFY2(doc.isObject(), qPrintable(error.errorString() + "\n" + r.out + r.err));
    for (const QString& line : results.mid(1)) {
        for (const QString& e : CasePairs(line)) {
            const QString path = e.section('=', 0, 0);
            QCOMPARE(path + "=" + text(at(doc.object(), path)), QString(e).replace("%D", m_dir.path()));
        }
    }
}

void tst_KrolSim::exitStatusAndMessages_data()
{
    AddCaseRows("krol-sim-exit.cases");
}

void tst_KrolSim::exitStatusAndMessages()
{
    m_dir.write("ok.kro", "CALC LOAD, 1\n");
    m_dir.write("ok.bin", QByteArray::fromHex("1c0000000000001c"));
    m_dir.write("bad.kro", "CALC LOAD, 1\nFLY 1\n");
    m_dir.write("axis.kro", "ROR 7, 100\n");
    m_dir.write("readonly.kro", "SAP 3, 0, 500\n");
    m_dir.write("fault.kro", "CALC LOAD, 1\nR: CSUB R\n");
    m_dir.write("loop.kro", "L: JA L\n");
    m_dir.write("checksum.bin", QByteArray::fromHex("1c0000000000001c" "1c0000000000011c"));
    m_dir.write("opcode.bin", QByteArray::fromHex("3a0000000000003a"));
    QByteArray words;
    for (int i = 0; i < 2048; ++i)
        words += QByteArray::fromHex("1300000000000013");   // CALC ADD, 0
    m_dir.write("long.bin", words);
    m_dir.write("lib/sub.inc", "Sub:    CALC ADD, 2\n        RSUB\n");
    m_dir.write("trace.kro", "        CALC LOAD, 1\n        JA start // on: to the call\n"
                             "#include sub.inc\nstart:  CSUB SUB\n        WAIT TICKS, 0, 3\n"
                             "        CALCX SWAP\n");
    QVERIFY(WriteRefusedInputs(m_dir.path()));
    checkExitStatusCase(m_dir.path());
}

void tst_KrolSim::traceIsOneLinePerInstruction_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("linePattern");
    QTest::newRow("source") << "loop.kro"
                            << "^ +\\d+ ms +[0-2]  /.*/loop\\.kro:[1-3]  (CALC ADD, 1|COMP 5     "
                               "|JA L       )  A=-?\\d+ X=0$";
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

namespace {

// True once the process catches the signal (its handler is installed): bit signal - 1 of the
// SigCgt mask in /proc.
bool catches(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpressionMatch m = QRegularExpression("SigCgt:\\s*([0-9a-f]+)").match(text);
    return m.hasMatch() && (m.captured(1).toULongLong(nullptr, 16) >> (signal - 1)) & 1;
}

} // namespace

void tst_KrolSim::signalStopsTheRun_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("json");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("SIGINT, JSON") << int(SIGINT) << true << 130;
    QTest::newRow("SIGTERM, text") << int(SIGTERM) << false << 143;
}

void tst_KrolSim::signalStopsTheRun()
{
    QFETCH(int, signal);
    QFETCH(bool, json);
    const QString name = signal == SIGINT ? "SIGINT" : "SIGTERM";
    QProcess p;
    QStringList arguments{"sim", "--time", "1000000000000", m_dir.write("loop.kro", "L: CALC ADD, 1\nJA L\n")};
    if (json)
        arguments << "--json";
    p.start(krolBinary(), arguments);
    QVERIFY(p.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(catches(p.processId(), signal), 20000);
    ::kill(pid_t(p.processId()), signal);
    QVERIFY(p.waitForFinished(20000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 128 + signal);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(QRegularExpression("^krol sim: interrupted by " + name + " after \\d+ ms of module time\n$")
                 .match(err).hasMatch(), qPrintable(err));
    const QByteArray out = p.readAllStandardOutput();
    if (json) {
        const QJsonObject o = QJsonDocument::fromJson(out).object();
        QCOMPARE(o.value("result").toString(), QString("interrupted"));
        QCOMPARE(o.value("state").toString(), QString("running"));
        QVERIFY(o.value("end_address").isNull());
        // The state is the one reached: A counts the loop's turns so far.
        QCOMPARE(qint64(o.value("a").toDouble()), (qint64(o.value("instructions").toDouble()) + 1) / 2);
    } else {
        QVERIFY2(out.startsWith("Result:           interrupted (" + name.toLatin1() + " after "), out);
        QVERIFY(out.contains("\nState:            running\n"));
    }
}

namespace {

// The rows of a --csv file as numbers, the header checked.
QVector<QVector<qint64>> csvRows(const QByteArray& text)
{
    QVector<QVector<qint64>> rows;
    const QList<QByteArray> lines = text.trimmed().split('\n');
    if (lines.value(0) != "time_ms,axis0_position,axis0_velocity,axis1_position,axis1_velocity,"
                          "axis2_position,axis2_velocity")
        return rows;
    for (int i = 1; i < lines.size(); ++i) {
        QVector<qint64> row;
        for (const QByteArray& field : lines.at(i).split(','))
            row.append(field.toLongLong());
        rows.append(row);
    }
    return rows;
}

// Every text element of an SVG file, and its description.
QStringList svgTexts(const QByteArray& svg, QString* description)
{
    QStringList texts;
    QXmlStreamReader xml(svg);
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == QLatin1String("text"))
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        else if (xml.isStartElement() && xml.name() == QLatin1String("desc"))
            *description = xml.readElementText();
        else if (!xml.isStartElement())
            xml.readNext();
    }
    if (xml.hasError())
        texts << "XML error: " + xml.errorString();
    return texts;
}

} // namespace

void tst_KrolSim::motionCsv()
{
    // A trapezoidal move of axis 0, a pause, then axis 1 turning left until the end.
    const QString path = m_dir.write("m.kro", "MVP ABS, 0, 100000\nWAIT POS, 0, 0\nWAIT TICKS, 0, 10\n"
                                              "ROL 1, 5000\nWAIT TICKS, 0, 5\n");
    const KrolResult r = runKrol({"sim", "--json", "--csv", m_dir.filePath("m.csv"), path});
    QCOMPARE(r.exitCode, 0);
    const qint64 end = QJsonDocument::fromJson(r.out.toUtf8()).object().value("module_time_ms").toInt();
    const QVector<QVector<qint64>> rows = csvRows(m_dir.read("m.csv"));
    QVERIFY2(rows.size() >= 6 && rows.size() <= 12, qPrintable(m_dir.read("m.csv")));
    QCOMPARE(rows.first(), (QVector<qint64>{0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(rows.last().at(0), end);
    QCOMPARE(rows.last().mid(1, 2), (QVector<qint64>{100000, 0}));
    QCOMPARE(rows.last().at(4), -5000);   // axis 1 runs left
    // Axis 0 reaches full speed after 100 ms and stops where it should.
    const auto full = std::find_if(rows.begin(), rows.end(),
                                   [](const QVector<qint64>& row) { return row.at(2) == 100000; });
    QVERIFY(full != rows.end());
    QCOMPARE(full->mid(0, 2), (QVector<qint64>{100, 5050}));
    bool stopped = false;
    for (int i = 1; i < rows.size(); ++i) {
        const QVector<qint64>& a = rows.at(i - 1);
        const QVector<qint64>& b = rows.at(i);
        QVERIFY(b.at(0) > a.at(0));
        stopped = stopped || (b.at(1) == 100000 && b.at(2) == 0);
        // Constant acceleration between rows: the velocity changes by the same amount at the
        // start of each millisecond, so the n milliseconds after a row move the axis by
        // (n (v0 + v1) + v1 - v0) / 2000 steps (up to the rounding of both positions).
        const qint64 n = b.at(0) - a.at(0);
        for (int axis = 0; axis < 3; ++axis) {
            const qint64 v0 = a.at(2 + 2 * axis);
            const qint64 v1 = b.at(2 + 2 * axis);
            const double expected = (n * (v0 + v1) + v1 - v0) / 2000.0;
            const double moved = b.at(1 + 2 * axis) - a.at(1 + 2 * axis);
            QVERIFY2(qAbs(moved - expected) <= 1,
                     qPrintable(QString("axis %1, rows %2-%3").arg(axis).arg(i - 1).arg(i)));
        }
    }
    QVERIFY(stopped);

    // A long steady run is a few rows, not one per millisecond; "-" is standard output, before
    // the final state.
    const QString steady = m_dir.write("s.kro", "ROR 2, 1000\nWAIT TICKS, 0, 5000\n");
    const KrolResult s = runKrol({"sim", "--csv", "-", steady});
    QCOMPARE(s.exitCode, 0);
    QCOMPARE(csvRows(s.out.section("Result:", 0, 0).toUtf8()).size(), 3);   // start, full speed, end
}

void tst_KrolSim::motionChart()
{
    const QString path = m_dir.write("m.kro", "MVP ABS, 0, 20000\nROL 2, 3000\nWAIT POS, 0, 0\n"
                                              "L: JA L\n");
    const QString svg = m_dir.filePath("m.svg");
    const KrolResult r = runKrol({"sim", "--time", "900", "--plot", svg, "--csv", m_dir.filePath("m.csv"), path});
    QCOMPARE(r.exitCode, 3);
    QString description;
    const QStringList texts = svgTexts(m_dir.read("m.svg"), &description);
    for (const char* label : {"Axis 0", "Axis 1", "Axis 2"})
        QVERIFY2(texts.count(label) == 1, qPrintable(texts.join('|')));
    for (const char* label : {"module time (ms)", "position (steps)", "velocity (steps/s)",
                              "time limit at 900 ms"})
        QVERIFY2(texts.count(label) == 3, qPrintable(QString(label) + ": " + texts.join('|')));
    QVERIFY(texts.contains("20000"));   // a position tick of axis 0
    QVERIFY(texts.contains("-3000"));   // a velocity tick of axis 2
    QCOMPARE(description.toUtf8(), m_dir.read("m.csv"));
    QVERIFY(r.out.startsWith("Result:           time limit"));

    // Nothing is written when the chart cannot be: a missing directory is a usage error.
    const KrolResult bad = runKrol({"sim", "--plot", m_dir.filePath("no/m.svg"), path});
    QCOMPARE(bad.exitCode, 2);
    QVERIFY2(bad.err.contains("no/m.svg"), qPrintable(bad.err));
}

void tst_KrolSim::readmeChartIsCurrent()
{
    // docs/moves.svg carries the numbers it was drawn from; `make charts` draws it again.
    QFile chart(sourceDir() + "/docs/moves.svg");
    QVERIFY(chart.open(QIODevice::ReadOnly));
    QString description;
    svgTexts(chart.readAll(), &description);
    const QString csv = m_dir.filePath("moves.csv");
    QCOMPARE(runKrol({"sim", "--csv", csv, sourceDir() + "/examples/moves.kro"}).exitCode, 0);
    QVERIFY2(description.toUtf8() == m_dir.read("moves.csv"),
             "docs/moves.svg is out of date: run 'make charts'");
}

// Every example: what krol asm writes, krol disasm turns into text that krol asm turns into the
// same file; the source runs to its end, and so does the file, with the same result.
void tst_KrolSim::examples()
{
    const QDir examples(sourceDir() + "/examples");
    const QString module = sourceDir() + "/modules/virtual.json";
    const QStringList sources = examples.entryList({"*.kro"}, QDir::Files);
    QVERIFY(sources.size() >= 3);
    for (const QString& name : sources) {
        const QString source = examples.filePath(name);
        const QString first = m_dir.filePath(name + ".1.bin"), second = m_dir.filePath(name + ".2.bin");
        const QString text = m_dir.filePath(name + ".dis.kro");
        for (const QStringList& arguments : {QStringList{"asm", "-o", first, source}, {"disasm", "-o", text, first},
                                             {"asm", "-o", second, text}}) {
            const KrolResult r = runKrol(QStringList{arguments} << "--module" << module);
            QVERIFY2(r.exitCode == 0, qPrintable(name + ": " + r.err));
        }
        QVERIFY(!m_dir.read(name + ".1.bin").isEmpty());
        QVERIFY2(m_dir.read(name + ".1.bin") == m_dir.read(name + ".2.bin"), qPrintable(name));

        QJsonObject fromSource = QJsonDocument::fromJson(runKrol({"sim", "--json", source}).out.toUtf8()).object();
        QCOMPARE(fromSource.value("result").toString(), QString("end"));
        QVERIFY(fromSource.value("module_time_ms").toInt() > 0);
        QCOMPARE(fromSource.take("end_location").toString().section(':', 0, 0), source);
        for (const QString& program : {source, first}) {
            QJsonObject o = QJsonDocument::fromJson(runKrol({"sim", "--json", "--module", module, program}).out.toUtf8()).object();
            QCOMPARE(o.take("end_location").isNull(), program == first);
            QCOMPARE(o, fromSource);
        }
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

#include "KrolProcess.h"
#include "TestData.h"

#include <QDir>
#include <QtTest>

namespace {

QByteArray Record(int opcode, int type, int motor, qint32 value)
{
    QByteArray r;
    r.append(char(opcode)).append(char(type)).append(char(motor));
    for (int shift = 24; shift >= 0; shift -= 8)
        r.append(char(quint32(value) >> shift));
    int sum = 0;
    for (char c : r)
        sum += quint8(c);
    r.append(char(sum));
    return r;
}

// The output without its header line, which carries the time.
QString Body(const QString& text)
{
    return text.mid(text.indexOf('\n') + 1);
}

} // namespace

class tst_KrolDisasm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void exitStatus_data();
    void exitStatus();
    void outputFile();
    void moduleEvents();
    void examplesRoundTrip();

private:
    ScratchDir m_dir;
};

void tst_KrolDisasm::init()
{
    QVERIFY(m_dir.reset());
    const QByteArray good = Record(1, 0, 0, 1000) + Record(22, 0, 0, 0) + Record(28, 0, 0, 0);
    m_dir.write("ok.bin", good);
    m_dir.write("short.bin", good.left(13));
    QByteArray wrongSum = good;
    wrongSum[23] = char(wrongSum[23] + 1);
    m_dir.write("sum.bin", wrongSum);
    m_dir.write("opcode.bin", Record(1, 0, 0, 1) + Record(60, 0, 0, 0));
    m_dir.write("event5.bin", Record(27, 5, 0, 10));
    m_dir.write("bad.json", "{\"name\": \"x\", \"axes\": 1}");
    QVERIFY(WriteRefusedInputs(m_dir.path()));
}

void tst_KrolDisasm::exitStatus_data()
{
    AddCaseRows("krol-disasm-exit.cases");
}

void tst_KrolDisasm::exitStatus()
{
    KrolResult r;
    checkExitStatusCase(m_dir.path(), &r);
    if (QTest::currentTestFailed())
        return;
    if (r.exitCode == 0)
        QCOMPARE(Body(r.out), QString("Lbl0:     ROR 0, 1000\n          JA Lbl0\n          STOP \n"));
    else
        QVERIFY(r.out.isEmpty());
}

void tst_KrolDisasm::outputFile()
{
    const QString out = m_dir.filePath("out.kro");
    QCOMPARE(runKrol({"disasm", m_dir.filePath("ok.bin"), "-o", out}).out, QString());
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    f.close();
    QCOMPARE(Body(written), Body(runKrol({"disasm", m_dir.filePath("ok.bin")}).out));

    // A failed run leaves the earlier output as it was.
    QCOMPARE(runKrol({"disasm", m_dir.filePath("sum.bin"), "-o", out}).exitCode, 1);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), written);
}

void tst_KrolDisasm::moduleEvents()
{
    m_dir.write("events.json", R"({"name": "Test", "axes": 1, "maps": {"wait_cmd": {
        "par::HOLD": {"number": 5, "name": "HOLD", "unit": "10 ms", "min": -1, "max": 100, "access": "w"}}}})");
    const KrolResult r = runKrol({"disasm", m_dir.filePath("event5.bin"), "--module", m_dir.filePath("events.json")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(Body(r.out), QString("          WAIT HOLD, 0, 10\n"));
}

// What krol asm writes, krol disasm turns into text that krol asm turns into the same file.
void tst_KrolDisasm::examplesRoundTrip()
{
    const QDir examples(sourceDir() + "/examples");
    const QString module = sourceDir() + "/modules/virtual.json";
    const QStringList sources = examples.entryList({"*.kro"}, QDir::Files);
    QVERIFY(!sources.isEmpty());
    for (const QString& name : sources) {
        const QString first = m_dir.filePath(name + ".1.bin");
        const QString text = m_dir.filePath(name + ".dis.kro");
        const QString second = m_dir.filePath(name + ".2.bin");
        KrolResult r = runKrol({"asm", "--module", module, "-o", first, examples.filePath(name)});
        QVERIFY2(r.exitCode == 0, qPrintable(name + ": " + r.err));
        r = runKrol({"disasm", "--module", module, "-o", text, first});
        QVERIFY2(r.exitCode == 0, qPrintable(name + ": " + r.err));
        r = runKrol({"asm", "--module", module, "-o", second, text});
        QVERIFY2(r.exitCode == 0, qPrintable(name + ": " + r.err));
        QFile a(first), b(second);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray original = a.readAll();
        QVERIFY(!original.isEmpty());
        QVERIFY2(original == b.readAll(), qPrintable(name));
    }
}

QTEST_GUILESS_MAIN(tst_KrolDisasm)
#include "tst_krol_disasm.moc"

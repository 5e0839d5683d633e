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

} // namespace

class tst_KrolDisasm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void exitStatus_data();
    void exitStatus();

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
    m_dir.write("events.json", R"({"name": "Test", "axes": 1, "maps": {"wait_cmd": {
        "par::HOLD": {"number": 5, "name": "HOLD", "unit": "10 ms", "min": -1, "max": 100, "access": "w"}}}})");
    m_dir.write("earlier.kro", "earlier");
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
    if (r.exitCode > 0)
        QVERIFY(r.out.isEmpty());
}

QTEST_GUILESS_MAIN(tst_KrolDisasm)
#include "tst_krol_disasm.moc"

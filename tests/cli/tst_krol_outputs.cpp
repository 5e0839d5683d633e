#include "KrolProcess.h"
#include "TestData.h"

#include <QtTest>

#include <future>

// What every sub-command writes: devices and FIFOs are written into, a failed write keeps the
// earlier file, - is standard output, SOURCE_DATE_EPOCH makes the headers repeatable.
class tst_KrolOutputs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void devices_data();
    void devices();
    void fifo_data();
    void fifo();
    void failedWriteKeepsTheEarlierFile_data();
    void failedWriteKeepsTheEarlierFile();
    void standardOutput();
    void sourceDateEpoch();

private:
    QStringList arguments(QStringList list) const;
    QByteArray contents(const QString& name) const;

    ScratchDir m_dir;
};

void tst_KrolOutputs::init()
{
    QVERIFY(m_dir.reset());
    QByteArray source;
    for (int i = 0; i < 1000; ++i)
        source += "L" + QByteArray::number(i) + ": ROR 0, " + QByteArray::number(i) + "\n";
    m_dir.write("p.kro", source);
    QCOMPARE(runKrol({"asm", m_dir.filePath("p.kro")}).exitCode, 0);
}

QStringList tst_KrolOutputs::arguments(QStringList list) const
{
    for (QString& a : list)
        a.replace("%D", m_dir.path());
    return list;
}

QByteArray tst_KrolOutputs::contents(const QString& name) const
{
    QFile f(m_dir.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void tst_KrolOutputs::devices_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    QTest::newRow("asm, /dev/null") << QStringList{"asm", "%D/p.kro", "-o", "/dev/null"} << "/dev/null" << 0 << "";
    QTest::newRow("disasm, /dev/null") << QStringList{"disasm", "%D/p.bin", "-o", "/dev/null"} << "/dev/null" << 0 << "";
    QTest::newRow("asm, /dev/full") << QStringList{"asm", "%D/p.kro", "-o", "/dev/full"} << "/dev/full" << 2
                                    << "krol asm: cannot write '/dev/full': No space left on device\n";
    QTest::newRow("disasm, /dev/full") << QStringList{"disasm", "%D/p.bin", "-o", "/dev/full"} << "/dev/full" << 2
                                       << "krol disasm: cannot write '/dev/full': No space left on device\n";
}

// The device stays a device (an output is never renamed over it).
void tst_KrolOutputs::devices()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, device);
    if (!IsCharacterDevice(qPrintable(device)))
        QSKIP("not a character device here");
    const KrolResult r = runKrol(this->arguments(arguments));
    QTEST(r.exitCode, "exitCode");
    QTEST(r.err, "error");
    QVERIFY(IsCharacterDevice(qPrintable(device)));
}

void tst_KrolOutputs::fifo_data()
{
    QTest::addColumn<QStringList>("arguments");   // the FIFO is %D/out
    QTest::addColumn<QString>("sameAsFile");
    QTest::newRow("asm") << QStringList{"asm", "%D/p.kro", "-o", "%D/out"} << "p.bin";
    QTest::newRow("disasm") << QStringList{"SOURCE_DATE_EPOCH=0", "disasm", "%D/p.bin", "-o", "%D/out"} << "p.dis";
}

void tst_KrolOutputs::fifo()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, sameAsFile);
    QCOMPARE(runKrol(this->arguments({"SOURCE_DATE_EPOCH=0", "disasm", "%D/p.bin", "-o", "%D/p.dis"})).exitCode, 0);
    const QString fifo = MakeFifo(m_dir.filePath("out"));
    QVERIFY(!fifo.isEmpty());
    // Read beside the writer, so neither waits for the other to end.
    std::future<QByteArray> read = std::async(std::launch::async, [fifo] {
        QFile f(fifo);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    });
    const KrolResult r = runKrol(this->arguments(arguments));
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(read.get(), contents(sameAsFile));
    QVERIFY(!QFileInfo(fifo).isFile());
}

void tst_KrolOutputs::failedWriteKeepsTheEarlierFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("blocks");   // the file size limit: the program is 8,000 bytes
    QTest::newRow("asm") << QStringList{"asm", "%D/p.kro", "-o", "%D/out.bin"} << "out.bin" << 2;
    QTest::newRow("asm, symbols") << QStringList{"asm", "--sym", "%D/p.kro", "-o", "%D/out.bin"} << "out.sym" << 40;
    QTest::newRow("disasm") << QStringList{"disasm", "%D/p.bin", "-o", "%D/out.kro"} << "out.kro" << 2;
}

// A file size limit fails the write as a full disk would.
void tst_KrolOutputs::failedWriteKeepsTheEarlierFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, output);
    QFETCH(int, blocks);
    m_dir.write("out.bin", "earlier");
    m_dir.write(output, "earlier");
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
    QProcess p;
    p.start("sh", QStringList{"-c", QString("trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\"").arg(blocks), krolBinary()}
                      + this->arguments(arguments));
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
             QString("%1: cannot write '%2': File too large\n")
                 .arg(arguments.first() == "asm" ? "krol asm" : "krol disasm", m_dir.filePath(output)));
    QCOMPARE(contents(output), QByteArray("earlier"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);
}

void tst_KrolOutputs::standardOutput()
{
    KrolResult r = runKrol(arguments({"<%D/p.kro", "asm", "-", "-o", "-"}));
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.rawOut, contents("p.bin"));
    r = runKrol(arguments({"SOURCE_DATE_EPOCH=0", "<%D/p.bin", "disasm", "-", "-o", "-"}));
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.rawOut, runKrol(arguments({"SOURCE_DATE_EPOCH=0", "disasm", "%D/p.bin"})).rawOut);
}

void tst_KrolOutputs::sourceDateEpoch()
{
    for (int run = 0; run < 2; ++run) {
        QCOMPARE(runKrol(arguments({"SOURCE_DATE_EPOCH=86400", "asm", "--sym", "%D/p.kro"})).exitCode, 0);
        QCOMPARE(runKrol(arguments({"SOURCE_DATE_EPOCH=86400", "disasm", "%D/p.bin", "-o", "%D/p" + QString::number(run)})).exitCode, 0);
    }
    QVERIFY(contents("p.sym").startsWith("KROL Symbol File (p.sym 01-02-1970 00:00:00)\n"));
    QVERIFY(contents("p0").startsWith("//KROL disassembly at 01-02-1970 00:00:00\n"));
    QCOMPARE(contents("p0"), contents("p1"));
}

QTEST_GUILESS_MAIN(tst_KrolOutputs)
#include "tst_krol_outputs.moc"

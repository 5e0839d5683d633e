#include "KrolProcess.h"
#include "TestData.h"

#include <QDir>
#include <QtTest>

class tst_KrolAsm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void exitStatus_data();
    void exitStatus();
    void defaultOutputAndSymbols();
    void linksNoGuiLibrary();

private:
    ScratchDir m_dir;
};

void tst_KrolAsm::init()
{
    QVERIFY(m_dir.reset());
}

void tst_KrolAsm::exitStatus_data()
{
    AddCaseRows("krol-asm-exit.cases");
}

void tst_KrolAsm::exitStatus()
{
    m_dir.write("ok.kro", "ROR 0, 100\n");
    m_dir.write("src.bin", "ROR 0, 100\n");
    m_dir.write("bad.kro", "ROR 0, 100\nFLY 1\n");
    m_dir.write("range.kro", "ROR 0, 1000\nROR 9, 1000\n");
    m_dir.write("label.kro", "ROR 0, 1\nJA NOWHERE\n");
    m_dir.write("label.bin", "keep me");
    m_dir.write("lib/consts.inc", "SPEED = 100\n\nBAD = (\n");
    m_dir.write("inc.kro", "ROR 0, 1\n#include consts.inc\n");
    QVERIFY(QFile::copy(sourceDir() + "/modules/virtual.json", m_dir.filePath("m.json")));
    QVERIFY(WriteRefusedInputs(m_dir.path()));
    checkExitStatusCase(m_dir.path());
    QFile module(m_dir.filePath("m.json"));
    QVERIFY(module.size() > 1000);
}

void tst_KrolAsm::defaultOutputAndSymbols()
{
    const QString src = m_dir.write("prog.v2.kro", "START: ROR 0, 1000\nJA START\n");
    const KrolResult r = runKrol({"asm", "--sym", src});
    QCOMPARE(r.exitCode, 0);
    QFile bin(m_dir.filePath("prog.bin"));
    QVERIFY(bin.open(QIODevice::ReadOnly));
    QCOMPARE(bin.readAll().toHex(), QByteArray("010000000003e8ec"
                                               "1600000000000016"
                                               "1c0000000000001c"));
    QFile sym(m_dir.filePath("prog.sym"));
    QVERIFY(sym.open(QIODevice::ReadOnly));
    QVERIFY(sym.readAll().contains("START:"));

    // -o puts the program (and the symbols beside it) where asked; --no-stop drops the STOP.
    QDir(m_dir.path()).mkdir("out");
    QCOMPARE(runKrol({"asm", "--no-stop", "--sym", "-o", "out/x.bin", src}, m_dir.path()).exitCode, 0);
    QCOMPARE(QFileInfo(m_dir.filePath("out/x.bin")).size(), 16);
    QVERIFY(QFileInfo::exists(m_dir.filePath("out/x.sym")));
}

// krol runs where no display or GUI library exists: it loads Qt Core and no GUI part of Qt,
// directly or through our shared libraries.
void tst_KrolAsm::linksNoGuiLibrary()
{
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {krolBinary()});
    if (!ldd.waitForFinished(30000) || ldd.exitCode() != 0)
        QSKIP("ldd cannot list the dependencies here");
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    QVERIFY2(libraries.contains("libQt5Core"), qPrintable(libraries));
    for (const char* gui : {"libQt5Gui", "libQt5Widgets", "libkrolhost.so", "libGL", "libX11"})
        QVERIFY2(!libraries.contains(QLatin1String(gui)), gui);
}

QTEST_GUILESS_MAIN(tst_KrolAsm)
#include "tst_krol_asm.moc"

#include "BinaryFile.h"
#include "CaseFile.h"
#include "FileLines.h"
#include "HeaderTime.h"
#include "InputFile.h"
#include "OutputFile.h"
#include "TestData.h"

#include <QtTest>

#include <csignal>
#include <future>
#include <sys/resource.h>

// InputFile, OutputFile, HeaderTime and BinaryFile: the file rules every tool shares.
class tst_FileIO : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void rules_data() { AddCaseRows("file-rules.cases"); }
    void rules();
    void textIsReadAsAFileOpenedAsText_data();
    void textIsReadAsAFileOpenedAsText();
    void writesIntoDevicesAndFifos();
    void failedWriteKeepsTheEarlierFile_data();
    void failedWriteKeepsTheEarlierFile();
    void programFiles();

private:
    ScratchDir m_dir;
};

void tst_FileIO::init()
{
    QVERIFY(m_dir.reset());
}

void tst_FileIO::rules()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    const QString d = m_dir.path();
    m_dir.write("f", "f");
    m_dir.write("g", "g");
    QVERIFY(QDir(d).mkdir("dir") && QFile::link(d + "/f", d + "/soft") && !MakeFifo(d + "/fifo").isEmpty());
    QCOMPARE(::link(QFile::encodeName(d + "/f").constData(), QFile::encodeName(d + "/hard").constData()), 0);
    const QStringList w = body.value(0).split(' ').replaceInStrings("%D", d);
    QString got;
    if (w[0] == "read") {
        const qint64 limit = w.value(2) == "text" ? InputFile::TextLimit : w.value(2).toLongLong();
        QFile sparse(m_dir.write("sparse", ""));
        QVERIFY(sparse.resize(limit + 1));   // holes cost no disk
        QByteArray data("kept");
        QVERIFY(!InputFile::read(w.value(1), limit, &data, &got));
        QCOMPARE(data, QByteArray("kept"));
        QVERIFY(sparse.resize(limit));
        QString error;
        QVERIFY(InputFile::read(sparse.fileName(), limit, &data, &error));
        QCOMPARE(data.size(), int(limit));
    } else if (w[0] == "same") {
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(d);
        got = OutputFile::sameFile(w.value(1), w.value(2)) ? "same" : "different";
        QDir::setCurrent(cwd);
    } else if (w[0] == "decode") {
        const QByteArray data = QByteArray::fromHex("1c0000000000001c" + w.mid(1).join("").toLatin1());
        QList<TInstruction> program{TInstruction()};
        if (BinaryFile::Decode(data, &program, &got)) {
            QCOMPARE(program.size(), 2);
            QCOMPARE(int(program[0].Opcode), 28);
            const TInstruction& i = program[1];
            got = QString("%1 %2 %3 %4").arg(i.Opcode).arg(i.Type).arg(i.Motor).arg(i.Value);
            QCOMPARE(BinaryFile::Encode(program), data);
        } else {
            QCOMPARE(program.size(), 1);
        }
    } else {
        qputenv("TZ", "Europe/Berlin");
        qputenv("SOURCE_DATE_EPOCH", w.value(1).toUtf8());
        QString error;
        const bool valid = HeaderTime::checkEnvironment(&error);
        QCOMPARE(error.isEmpty(), valid);
        got = !valid ? "invalid"
              : w.size() > 1 ? HeaderTime::text()
              : qAbs(HeaderTime::now().secsTo(QDateTime::currentDateTime())) < 5 ? "now" : HeaderTime::text();
        qunsetenv("SOURCE_DATE_EPOCH");
    }
    QCOMPARE(QStringList{got}, results);
}

void tst_FileIO::textIsReadAsAFileOpenedAsText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QByteArray longLine(70000, 'x');   // beyond one piece of the plain-text reader
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("line feeds") << QByteArray("ROR 0, 1\nSTOP") << QString("ROR 0, 1\nSTOP");
    QTest::newRow("carriage returns anywhere") << QByteArray("A\r\nB\rC\r") << QString("A\nBC");
    QTest::newRow("nul byte") << QByteArray("A\0B", 3) << QString(QStringLiteral("A") + QChar(0) + "B");
    QTest::newRow("utf-8") << QByteArray("ROR 0, 1\r\n// \xc3\xa4\r\n")
                           << QString::fromUtf8("ROR 0, 1\n// \xc3\xa4\n");
    QTest::newRow("utf-8 byte-order mark") << QByteArray("\xef\xbb\xbfSTOP\n") << QString("STOP\n");
    QTest::newRow("utf-16 byte-order mark")
        << QByteArray("\xff\xfeS\0T\0\r\0\n\0", 10) << QString("ST\n");
    QTest::newRow("plain piece, then a character beyond ASCII")
        << longLine + "\xc3\xa4" << QString::fromLatin1(longLine) + QChar(0xe4);
    QTest::newRow("carriage returns across pieces")
        << QByteArray("STOP\r\n").repeated(30000) << QString("STOP\n").repeated(30000);
    QTest::newRow("plain lines, then one beyond ASCII")
        << QByteArray("A\r\nB\n// \xc3\xa4\nC\n") << QString::fromUtf8("A\nB\n// \xc3\xa4\nC\n");
    QTest::newRow("line longer than two pieces")
        << "A\n" + longLine + longLine + "\nB" << "A\n" + QString::fromLatin1(longLine + longLine) + "\nB";
}

void tst_FileIO::textIsReadAsAFileOpenedAsText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QString read = QStringLiteral("earlier");
    QString error;
    QVERIFY(InputFile::readText(m_dir.write("t.kro", bytes), &read, &error));
    QCOMPARE(read, text);
    QCOMPARE(InputFile::decodeText(bytes), text);
    // Read line by line, the file gives the same lines.
    FileLines file;
    QVERIFY(file.open(m_dir.filePath("t.kro"), &error));
    QStringList lines;
    for (QStringRef line; file.next(&line);)
        lines.append(line.toString());
    QCOMPARE(file.error(), QString());
    QCOMPARE(lines, text.split(QLatin1Char('\n')));
}

void tst_FileIO::writesIntoDevicesAndFifos()
{
    QString error;
    QVERIFY2(OutputFile("/dev/null").write("x", &error), qPrintable(error));
    QVERIFY(IsCharacterDevice("/dev/null"));

    const QString fifo = MakeFifo(m_dir.filePath("out.fifo"));
    QVERIFY(!fifo.isEmpty());
    QVERIFY(!OutputFile(fifo).isRegular());
    // The reader runs beside the writer, so neither waits for the other to finish.
    std::future<QByteArray> read = std::async(std::launch::async, [fifo] {
        QFile f(fifo);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("cannot open");
    });
    QVERIFY2(OutputFile(fifo).write("through the pipe", &error), qPrintable(error));
    QCOMPARE(read.get(), QByteArray("through the pipe"));
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());

    if (!IsCharacterDevice("/dev/full"))
        QSKIP("/dev/full is not a character device here");
    QVERIFY(!OutputFile("/dev/full").write("x", &error));
    QCOMPARE(error, QString("No space left on device"));
    QVERIFY(IsCharacterDevice("/dev/full"));
}

void tst_FileIO::failedWriteKeepsTheEarlierFile_data()
{
    QTest::addColumn<bool>("inPieces");
    QTest::newRow("whole") << false;
    QTest::newRow("in pieces") << true;
}

// A file size limit makes writes fail as a full disk does, for this process only.
void tst_FileIO::failedWriteKeepsTheEarlierFile()
{
    QFETCH(bool, inPieces);
    const QString path = m_dir.write("out.bin", "earlier");
    const QByteArray big(64 * 1024, 'x');
    QString error;
    struct rlimit saved;
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool ok;
    if (inPieces) {
        OutputFile out(path);
        ok = out.open(&error);
        for (int i = 0; ok && i < 16; ++i)
            out.append(big.left(4096));
        ok = ok && out.commit(&error);
    } else {
        ok = OutputFile(path).write(big, &error);
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(!ok);
    QCOMPARE(error, QString("File too large"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("earlier"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"out.bin"});
}

void tst_FileIO::programFiles()
{
    const QByteArray ror1000 = QByteArray::fromHex("01000000 0003e8ec");
    QList<TInstruction> program;
    QString error;
    QVERIFY(BinaryFile::Decode(ror1000 + ror1000, &program, &error));
    const QString path = m_dir.filePath("prog.bin");
    QVERIFY2(BinaryFile::Write(path, program, &error), qPrintable(error));
    QList<TInstruction> read;
    QCOMPARE(BinaryFile::Read(path, &read, &error), BinaryFile::ReadStatus::Ok);
    QCOMPARE(BinaryFile::Encode(read), ror1000 + ror1000);
    QCOMPARE(BinaryFile::Read(m_dir.filePath("missing.bin"), &read, &error), BinaryFile::ReadStatus::CannotRead);
    QVERIFY(!BinaryFile::Write(m_dir.filePath("no/dir/x.bin"), program, &error));
    QVERIFY(!error.isEmpty());

    // Only the low byte of the type and the low 32 bits of the value are stored.
    TInstruction wide = MakeInstruction(5, 300, 0, 4294967295LL);
    QCOMPARE(BinaryFile::Encode(QVector<TInstruction>{wide}).toHex(), QByteArray("052c00ffffffff2d"));
}

QTEST_GUILESS_MAIN(tst_FileIO)
#include "tst_fileio.moc"

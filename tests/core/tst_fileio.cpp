#include "FileLines.h"
#include "HeaderTime.h"
#include "InputFile.h"
#include "OutputFile.h"
#include "TestData.h"

#include <QtTest>

#include <csignal>
#include <future>
#include <sys/resource.h>

// InputFile, OutputFile and HeaderTime: the file rules every tool shares.
class tst_FileIO : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void refusedInputs_data();
    void refusedInputs();
    void textIsReadAsAFileOpenedAsText_data();
    void textIsReadAsAFileOpenedAsText();
    void writesIntoDevicesAndFifos();
    void failedWriteKeepsTheEarlierFile_data();
    void failedWriteKeepsTheEarlierFile();
    void sameFile_data();
    void sameFile();
    void headerTime_data();
    void headerTime();

private:
    ScratchDir m_dir;
};

void tst_FileIO::init()
{
    QVERIFY(m_dir.reset());
}

void tst_FileIO::refusedInputs_data()
{
    QTest::addColumn<QString>("path");   // %D is the scratch folder
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "%D/none" << qint64(100) << "no such file";
    QTest::newRow("directory") << "%D" << qint64(100) << "is a directory";
    QTest::newRow("fifo") << "%D/fifo" << qint64(100) << "not a regular file";
    QTest::newRow("endless device") << "/dev/zero" << qint64(100) << "not a regular file";
    QTest::newRow("beyond the limit") << "%D/sparse" << qint64(4096)
                                      << "too large: 4097 bytes (the limit is 0 MiB)";
    QTest::newRow("source beyond the limit")
        << "%D/sparse" << InputFile::TextLimit << "too large: 33554433 bytes (the limit is 32 MiB)";
}

void tst_FileIO::refusedInputs()
{
    QFETCH(QString, path);
    QFETCH(qint64, limit);
    QFETCH(QString, reason);
    QVERIFY(!MakeFifo(m_dir.filePath("fifo")).isEmpty());
    QFile sparse(m_dir.write("sparse", ""));
    // Holes cost no disk: one byte beyond the limit.
    QVERIFY(sparse.resize(limit + 1));
    QByteArray data("kept");
    QString error;
    QVERIFY(!InputFile::read(path.replace("%D", m_dir.path()), limit, &data, &error));
    QCOMPARE(error, reason);
    QCOMPARE(data, QByteArray("kept"));
    // One byte less is within the limit.
    QVERIFY(sparse.resize(limit));
    QCOMPARE(InputFile::read(sparse.fileName(), limit, &data, &error), true);
    QCOMPARE(data.size(), int(limit));
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

void tst_FileIO::sameFile_data()
{
    QTest::addColumn<QString>("a");   // %D is the scratch folder, which holds f, g, dir/
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("one path") << "%D/f" << "%D/f" << true;
    QTest::newRow("other spelling") << "%D/f" << "%D/dir/../f" << true;
    QTest::newRow("relative and absolute") << "f" << "%D/f" << true;
    QTest::newRow("hard link") << "%D/f" << "%D/hard" << true;
    QTest::newRow("symbolic link") << "%D/soft" << "%D/f" << true;
    QTest::newRow("other file") << "%D/f" << "%D/g" << false;
    QTest::newRow("new file, two spellings") << "%D/new" << "%D/dir/../new" << true;
    QTest::newRow("new and existing") << "%D/new" << "%D/f" << false;
    QTest::newRow("standard output") << "-" << "-" << false;
}

void tst_FileIO::sameFile()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    const QString d = m_dir.path();
    m_dir.write("f", "f");
    m_dir.write("g", "g");
    QVERIFY(QDir(d).mkdir("dir"));
    QVERIFY(QFile::link(d + "/f", d + "/soft"));
    QCOMPARE(::link(QFile::encodeName(d + "/f").constData(), QFile::encodeName(d + "/hard").constData()), 0);
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(d);
    const bool same = OutputFile::sameFile(a.replace("%D", d), b.replace("%D", d));
    QDir::setCurrent(cwd);
    QTEST(same, "same");
}

void tst_FileIO::headerTime_data()
{
    QTest::addColumn<QByteArray>("epoch");
    QTest::addColumn<QString>("text");   // empty: the time now
    QTest::addColumn<bool>("valid");
    QTest::newRow("unset") << QByteArray() << QString() << true;
    QTest::newRow("start of the epoch") << QByteArray("0") << "01-01-1970 00:00:00" << true;
    QTest::newRow("in UTC") << QByteArray("1700000000") << "11-14-2023 22:13:20" << true;
    QTest::newRow("last second") << QByteArray("253402300799") << "12-31-9999 23:59:59" << true;
    QTest::newRow("beyond year 9999") << QByteArray("253402300800") << QString() << false;
    QTest::newRow("negative") << QByteArray("-1") << QString() << false;
    QTest::newRow("not a number") << QByteArray("yesterday") << QString() << false;
}

void tst_FileIO::headerTime()
{
    QFETCH(QByteArray, epoch);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    qputenv("TZ", "Europe/Berlin");
    qputenv("SOURCE_DATE_EPOCH", epoch);
    QString error;
    QCOMPARE(HeaderTime::checkEnvironment(&error), valid);
    QCOMPARE(error.isEmpty(), valid);
    if (!text.isEmpty())
        QCOMPARE(HeaderTime::text(), text);
    else
        QVERIFY(qAbs(HeaderTime::now().secsTo(QDateTime::currentDateTime())) < 5);
    qunsetenv("SOURCE_DATE_EPOCH");
}

QTEST_GUILESS_MAIN(tst_FileIO)
#include "tst_fileio.moc"

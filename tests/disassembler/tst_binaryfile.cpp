#include "BinaryFile.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TInstruction)

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray data;
    for (int v : values)
        data.append(char(v));
    return data;
}

TInstruction I(int opcode, int type, int motor, qint64 value)
{
    TInstruction i;
    i.Opcode = uint8_t(opcode);
    i.Type = uint16_t(type);
    i.Motor = uint8_t(motor);
    i.Value = value;
    return i;
}

} // namespace

class tst_BinaryFile : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void badFormat_data();
    void badFormat();
    void encode_data();
    void encode();
    void files();
};

void tst_BinaryFile::decode_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("opcode");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("motor");
    QTest::addColumn<qint64>("value");

    QTest::newRow("ROR 0, 1000") << Bytes({1, 0, 0, 0, 0, 3, 232, 236}) << 1 << 0 << 0 << qint64(1000);
    QTest::newRow("minus one") << Bytes({5, 4, 2, 255, 255, 255, 255, 7}) << 5 << 4 << 2 << qint64(-1);
    QTest::newRow("lowest value") << Bytes({5, 0, 0, 128, 0, 0, 0, 133}) << 5 << 0 << 0
                                  << qint64(-2147483648LL);
    QTest::newRow("highest value") << Bytes({5, 0, 0, 127, 255, 255, 255, 129}) << 5 << 0 << 0
                                   << qint64(2147483647);
    QTest::newRow("high bytes everywhere") << Bytes({255, 255, 255, 0, 0, 1, 0, 254}) << 255 << 255
                                           << 255 << qint64(256);
}

void tst_BinaryFile::decode()
{
    QFETCH(QByteArray, data);
    // A leading STOP record checks that records are taken in order.
    data.prepend(Bytes({28, 0, 0, 0, 0, 0, 0, 28}));
    QList<TInstruction> program;
    QString error;
    QVERIFY2(BinaryFile::Decode(data, &program, &error), qPrintable(error));
    QCOMPARE(program.size(), 2);
    QCOMPARE(int(program[0].Opcode), 28);
    QTEST(int(program[1].Opcode), "opcode");
    QTEST(int(program[1].Type), "type");
    QTEST(int(program[1].Motor), "motor");
    QTEST(qint64(program[1].Value), "value");
    QVERIFY(program[1].Label.isEmpty());
    QCOMPARE(BinaryFile::Encode(program), data);
}

void tst_BinaryFile::badFormat_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("error");

    const QByteArray good = Bytes({1, 0, 0, 0, 0, 3, 232, 236});
    QTest::newRow("short single record") << Bytes({1, 0, 0})
        << "record 0 is incomplete: the file size of 3 bytes is not a multiple of 8";
    QTest::newRow("trailing byte") << good + good + Bytes({0})
        << "record 2 is incomplete: the file size of 17 bytes is not a multiple of 8";
    QTest::newRow("checksum of first") << Bytes({1, 0, 0, 0, 0, 3, 232, 237})
        << "record 0: checksum mismatch (stored 237, computed 236)";
    QTest::newRow("checksum of fourth") << good + good + good + Bytes({5, 4, 2, 255, 255, 255, 255, 6})
        << "record 3: checksum mismatch (stored 6, computed 7)";
}

void tst_BinaryFile::badFormat()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, error);
    QList<TInstruction> program{I(28, 0, 0, 0)};
    QString message;
    QVERIFY(!BinaryFile::Decode(data, &program, &message));
    QCOMPARE(message, error);
    QCOMPARE(program.size(), 1);
}

void tst_BinaryFile::encode_data()
{
    QTest::addColumn<TInstruction>("instruction");
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("type keeps its low byte") << I(5, 300, 1, 7) << Bytes({5, 44, 1, 0, 0, 0, 7, 57});
    QTest::newRow("unsigned top of range") << I(19, 9, 0, 4294967295LL)
                                           << Bytes({19, 9, 0, 255, 255, 255, 255, 24});
    QTest::newRow("negative") << I(1, 0, 0, -1000) << Bytes({1, 0, 0, 255, 255, 252, 24, 19});
}

void tst_BinaryFile::encode()
{
    QFETCH(TInstruction, instruction);
    QFETCH(QByteArray, data);
    QCOMPARE(BinaryFile::Encode({instruction}), data);
}

void tst_BinaryFile::files()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("prog.bin");
    const QList<TInstruction> program{I(1, 0, 0, 1000), I(22, 0, 0, 0)};
    QString error;
    QVERIFY2(BinaryFile::Write(path, program, &error), qPrintable(error));

    QList<TInstruction> read;
    QCOMPARE(BinaryFile::Read(path, &read, &error), BinaryFile::ReadStatus::Ok);
    QCOMPARE(BinaryFile::Encode(read), BinaryFile::Encode(program));

    QVERIFY(BinaryFile::Write(path, {}, &error));
    QCOMPARE(BinaryFile::Read(path, &read, &error), BinaryFile::ReadStatus::Ok);
    QVERIFY(read.isEmpty());

    QCOMPARE(BinaryFile::Read(dir.filePath("missing.bin"), &read, &error),
             BinaryFile::ReadStatus::CannotRead);
    QVERIFY(!error.isEmpty());
    QVERIFY(!BinaryFile::Write(dir.filePath("no/such/dir/x.bin"), program, &error));
    QVERIFY(!error.isEmpty());
}


QTEST_APPLESS_MAIN(tst_BinaryFile)
#include "tst_binaryfile.moc"

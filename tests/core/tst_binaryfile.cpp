#include "BinaryFile.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray data;
    for (int v : values)
        data.append(char(v));
    return data;
}

const QByteArray Ror1000 = Bytes({1, 0, 0, 0, 0, 3, 232, 236});

} // namespace

class tst_BinaryFile : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void encode();
    void files();
};

void tst_BinaryFile::decode_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("result");   // the second word, or the error

    QTest::newRow("ROR 0, 1000") << Ror1000 << "1 0 0 1000";
    QTest::newRow("sign-extended") << Bytes({5, 4, 2, 255, 255, 255, 255, 7}) << "5 4 2 -1";
    QTest::newRow("lowest value") << Bytes({5, 0, 0, 128, 0, 0, 0, 133}) << "5 0 0 -2147483648";
    QTest::newRow("high bytes") << Bytes({255, 255, 255, 127, 0, 1, 0, 125}) << "255 255 255 2130706688";
    QTest::newRow("cut short") << Ror1000 + Bytes({0})
                               << "record 2 is incomplete: the file size of 17 bytes is not a multiple of 8";
    QTest::newRow("checksum") << Bytes({5, 4, 2, 255, 255, 255, 255, 6}) + Ror1000
                              << "record 1: checksum mismatch (stored 6, computed 7)";
}

// A leading STOP record checks that records are taken in order.
void tst_BinaryFile::decode()
{
    QFETCH(QByteArray, data);
    data.prepend(Bytes({28, 0, 0, 0, 0, 0, 0, 28}));
    QList<TInstruction> program{TInstruction()};
    QString error;
    if (BinaryFile::Decode(data, &program, &error)) {
        QCOMPARE(program.size(), 2);
        QCOMPARE(int(program[0].Opcode), 28);
        const TInstruction& i = program[1];
        QTEST(QString("%1 %2 %3 %4").arg(i.Opcode).arg(i.Type).arg(i.Motor).arg(i.Value), "result");
        QCOMPARE(BinaryFile::Encode(program), data);
    } else {
        QTEST(error, "result");
        QCOMPARE(program.size(), 1);
    }
}

void tst_BinaryFile::encode()
{
    TInstruction wide;
    wide.Opcode = 5;
    wide.Type = 300;                 // only the low byte is stored
    wide.Value = 4294967295LL;       // the low 32 bits
    QCOMPARE(BinaryFile::Encode(QVector<TInstruction>{wide}), Bytes({5, 44, 0, 255, 255, 255, 255, 45}));
}

void tst_BinaryFile::files()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("prog.bin");
    QList<TInstruction> program;
    QString error;
    QVERIFY(BinaryFile::Decode(Ror1000 + Ror1000, &program, &error));
    QVERIFY2(BinaryFile::Write(path, program, &error), qPrintable(error));
    QList<TInstruction> read;
    QCOMPARE(BinaryFile::Read(path, &read, &error), BinaryFile::ReadStatus::Ok);
    QCOMPARE(BinaryFile::Encode(read), Ror1000 + Ror1000);

    QCOMPARE(BinaryFile::Read(dir.filePath("missing.bin"), &read, &error), BinaryFile::ReadStatus::CannotRead);
    QVERIFY(!BinaryFile::Write(dir.filePath("no/dir/x.bin"), program, &error));
    QVERIFY(!error.isEmpty());
}

QTEST_APPLESS_MAIN(tst_BinaryFile)
#include "tst_binaryfile.moc"

#include "CaseFile.h"
#include "Command.h"
#include "FrameCodec.h"
#include "FrameReader.h"

#include <QtTest>

// The frames as bytes (checksums added up by hand), and the reader fed with them in pieces.
class tst_FrameCodec : public QObject
{
    Q_OBJECT

private slots:
    void frames_data() { AddCaseRows("frames.cases"); }
    void frames();
    void reader_data();
    void reader();
    void readerLargeStream();
};

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A request frame for the module at address 1 (encodeRequest's rows hold its bytes).
QByteArray request(unsigned char command, int value, unsigned char address = 1)
{
    return FrameCodec::encodeRequest(Command(address, command, 0, 0, value, false, 12));
}

} // namespace

void tst_FrameCodec::frames()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    const QStringList fields = body.value(0).split(' ');
    const auto field = [&fields](int i) { return fields.value(i).toInt(nullptr, 0); };
    if (fields[0] == "request") {
        const QByteArray frame = hex(qPrintable(results.value(0)));
        const Command c(uchar(field(1)), uchar(field(2)), ushort(field(3)), uchar(field(4)), field(5), false, 12);
        QCOMPARE(FrameCodec::encodeRequest(c).toHex(' '), frame.toHex(' '));
        QVERIFY(FrameCodec::checksumMatches(frame.constData()));
        const Command back = FrameCodec::decodeRequest(frame.constData());
        QVERIFY(back.isValid());
        QCOMPARE(QList<int>({back.address(), back.command(), back.type(), back.motorBank(), back.value()}),
                 QList<int>({field(1), field(2), field(3) & 0xff, field(4), field(5)}));
    } else {
        const QByteArray frame = hex(qPrintable(fields.mid(1).join("")));
        QVERIFY(FrameCodec::checksumMatches(frame.constData()));
        const Command r = FrameCodec::decodeReply(frame.constData());
        QVERIFY(r.isValid());
        QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(r.address()).arg(r.status()).arg(r.command()).arg(r.value()),
                 results.value(0));
        // The reply address is the host's, the first byte.
        QCOMPARE(FrameCodec::encodeReply(2, r).toHex(' '), frame.toHex(' '));
    }
}

void tst_FrameCodec::reader_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<int>>("pieces");   // sizes the stream arrives in; the rest comes last
    QTest::addColumn<QStringList>("results"); // F (frame, its value), C (checksum), A (address)
    QTest::addColumn<int>("skipped");
    QTest::addColumn<int>("pending");

    const QByteArray a = request(134, 7);
    const QByteArray b = request(134, 8);
    QByteArray badSum = request(129, 0);
    badSum[8] = char(badSum.at(8) + 1);
    const QByteArray otherAddress = request(129, 0, 9);

    QTest::newRow("whole") << a << QList<int>{} << QStringList{"F7"} << 0 << 0;
    QTest::newRow("byte by byte") << a << QList<int>{1, 1, 1, 1, 1, 1, 1, 1} << QStringList{"F7"} << 0 << 0;
    QTest::newRow("split 4 + 5") << a << QList<int>{4} << QStringList{"F7"} << 0 << 0;
    QTest::newRow("two joined") << a + b << QList<int>{} << QStringList{"F7", "F8"} << 0 << 0;
    QTest::newRow("joined across pieces") << a + b << QList<int>{5, 9} << QStringList{"F7", "F8"} << 0 << 0;
    QTest::newRow("garbage prefix") << hex("ff 00 55") + a << QList<int>{} << QStringList{"F7"} << 3 << 0;
    QTest::newRow("garbage prefix split") << hex("ff 00 55") + a << QList<int>{2, 3} << QStringList{"F7"} << 3 << 0;
    QTest::newRow("garbage between") << a + hex("aa bb") + b << QList<int>{} << QStringList{"F7", "F8"} << 2 << 0;
    QTest::newRow("short") << a.left(8) << QList<int>{} << QStringList{} << 0 << 8;
    QTest::newRow("frame and a short one") << a + b.left(3) << QList<int>{} << QStringList{"F7"} << 0 << 3;
    QTest::newRow("wrong checksum, then in step") << badSum + a << QList<int>{} << QStringList{"C", "F7"} << 0 << 0;
    QTest::newRow("wrong address") << otherAddress + a << QList<int>{} << QStringList{"A", "F7"} << 0 << 0;
    QTest::newRow("noise only") << hex("10 20 30 40 50 60 70 80 90 a0") << QList<int>{} << QStringList{} << 2 << 8;
}

void tst_FrameCodec::reader()
{
    QFETCH(QByteArray, stream);
    QFETCH(QList<int>, pieces);
    QFETCH(QStringList, results);

    FrameReader reader(1);
    QStringList seen;
    int at = 0;
    pieces.append(stream.size());
    for (int size : pieces) {
        reader.append(stream.mid(at, size));
        at += size;
        QByteArray frame;
        for (FrameReader::Result r; (r = reader.next(&frame)) != FrameReader::Result::NeedMore;) {
            QCOMPARE(frame.size(), FrameCodec::FrameSize);
            if (r == FrameReader::Result::Frame)
                seen << QStringLiteral("F%1").arg(FrameCodec::decodeRequest(frame.constData()).value());
            else
                seen << (r == FrameReader::Result::WrongChecksum ? "C" : "A");
        }
    }
    QCOMPARE(seen, results);
    QTEST(int(reader.skipped()), "skipped");
    QTEST(reader.pending(), "pending");
    reader.clear();
    QCOMPARE(reader.pending(), 0);
    QCOMPARE(reader.skipped(), qint64(0));
}

void tst_FrameCodec::readerLargeStream()
{
    // Many frames in small pieces: every one found, in order, with nothing left over.
    QByteArray stream;
    const int count = 20000;
    for (int i = 0; i < count; ++i)
        stream += request(134, i);
    FrameReader reader(1);
    QByteArray frame;
    int expected = 0;
    for (int at = 0; at < stream.size(); at += 7) {
        reader.append(stream.mid(at, 7));
        while (reader.next(&frame) == FrameReader::Result::Frame)
            QCOMPARE(FrameCodec::decodeRequest(frame.constData()).value(), expected++);
    }
    QCOMPARE(expected, count);
    QCOMPARE(reader.pending(), 0);
}

QTEST_APPLESS_MAIN(tst_FrameCodec)
#include "tst_framecodec.moc"

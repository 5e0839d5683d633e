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
    void readerLargeStream();
};

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A request frame for the module at address 1.
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
    if (fields[0] == "stream") {
        const QByteArray stream = hex(qPrintable(body[0].section(' ', 1).section(" in ", 0, 0)));
        QList<int> pieces;
        for (const QString& size : body[0].section(" in ", 1).split(' ', Qt::SkipEmptyParts))
            pieces << size.toInt();
        pieces << stream.size();
        FrameReader reader(1);
        QStringList seen;
        int at = 0;
        for (int size : pieces) {
            reader.append(stream.mid(at, size));
            at += size;
            QByteArray frame;
            for (FrameReader::Result r; (r = reader.next(&frame)) != FrameReader::Result::NeedMore;) {
                QCOMPARE(frame.size(), FrameCodec::FrameSize);
                seen << (r == FrameReader::Result::Frame ? QStringLiteral("F%1").arg(FrameCodec::decodeRequest(frame.constData()).value())
                         : r == FrameReader::Result::WrongChecksum ? "C" : "A");
            }
        }
        seen << QStringLiteral("skipped=%1 pending=%2").arg(reader.skipped()).arg(reader.pending());
        QCOMPARE(seen.join(' '), results.value(0));
        reader.clear();
        QCOMPARE(reader.pending(), 0);
        QCOMPARE(reader.skipped(), qint64(0));
    } else if (fields[0] == "request") {
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

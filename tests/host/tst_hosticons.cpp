#include "EditorColour.h"

#include <QImage>
#include <QtTest>

// The workbench names these icons; every host that links the host library must find them.
class tst_HostIcons : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void iconIsThere_data();
    void iconIsThere();
};

// Using the library loads it, and loading it registers its resources.
void tst_HostIcons::initTestCase()
{
    QVERIFY(!EditorColour::KROL.isEmpty());
}

void tst_HostIcons::iconIsThere_data()
{
    QTest::addColumn<QString>("path");
    for (const char* name : {"open_document_32.png", "new_document_32_h.png", "save_32.png", "print_32.png",
                             "gears.png", "export.png", "vcrplay.png", "vcrstop.png", "vcrcont.png", "import.png",
                             "debug.png", "play_blue16.png", "pause_blue16.png", "last_track_blue16.png",
                             "animation.png", "stop_blue16.png"}) {
        QTest::newRow(name) << QStringLiteral(":/Editor/Buttons/") + QLatin1String(name);
    }
    QTest::newRow("tool icon") << QStringLiteral(":/moreIcons/NewPageCode");
}

void tst_HostIcons::iconIsThere()
{
    QFETCH(QString, path);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(32, 32));
    QVERIFY(image.hasAlphaChannel());
    // Drawn, not blank: a good share of the pixels is opaque, and the corners stay clear.
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 200;
    }
    QVERIFY2(opaque > 32 * 32 / 5, qPrintable(QString::number(opaque)));
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

QTEST_GUILESS_MAIN(tst_HostIcons)
#include "tst_hosticons.moc"

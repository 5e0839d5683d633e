// Renders the host's SVG icons to PNG at build time: render_icons OUTDIR NAME.svg:SIZE ...
// Each NAME.svg becomes OUTDIR/NAME.png, SIZE pixels square.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: render_icons OUTDIR NAME.svg:SIZE...\n");
        return 2;
    }
    const QDir out(args.first());
    if (!out.mkpath(QStringLiteral(".")))
        return 1;
    for (const QString& arg : args.mid(1)) {
        const int colon = arg.lastIndexOf(QLatin1Char(':'));
        const QString svg = arg.left(colon);
        const int size = arg.mid(colon + 1).toInt();
        QSvgRenderer renderer(svg);
        if (colon < 0 || size <= 0 || !renderer.isValid()) {
            std::fprintf(stderr, "render_icons: cannot render %s\n", qPrintable(arg));
            return 1;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString png = out.filePath(QFileInfo(svg).completeBaseName() + QStringLiteral(".png"));
        if (!image.save(png)) {
            std::fprintf(stderr, "render_icons: cannot write %s\n", qPrintable(png));
            return 1;
        }
    }
    return 0;
}

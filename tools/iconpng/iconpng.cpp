// Build-time tool: renders the program's scalable icon as square PNGs, one
// per size, for the icon theme folders and the window icon. The program
// itself then needs no SVG support at run time.
//
//   iconpng <icon.svg> <output folder> <size>...
// writes <output folder>/<size>.png for each size.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: iconpng <icon.svg> <output folder> <size>...\n");
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "iconpng: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const QDir out(args[2]);
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "iconpng: cannot make %s\n", qPrintable(args[2]));
        return 1;
    }
    for (const QString& arg : args.mid(3)) {
        bool ok = false;
        const int size = arg.toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "iconpng: bad size %s\n", qPrintable(arg));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString file = out.filePath(arg + QStringLiteral(".png"));
        if (!image.save(file, "PNG")) {
            std::fprintf(stderr, "iconpng: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

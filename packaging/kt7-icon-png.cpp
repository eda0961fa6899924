// Build-time helper: writes the window icon (an XPM) as a square PNG of the given size.
// Enlarging uses whole-pixel copies, so the 16x16 pixel art stays sharp at 32, 48, 64...
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <icon.xpm> <out.png> <size>\n", argv[0]);
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    bool ok = false;
    const int size = QString::fromLocal8Bit(argv[3]).toInt(&ok);
    if (!ok || size <= 0) {
        std::fprintf(stderr, "bad size: %s\n", argv[3]);
        return 2;
    }
    const QImage icon(input, "XPM");
    if (icon.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QImage scaled = icon.convertToFormat(QImage::Format_ARGB32)
                              .scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!scaled.save(output, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return EXIT_SUCCESS;
}

// Renders the 16 x 16 application icon at larger sizes for the desktop's icon theme, pixel
// for pixel (each pixel becomes a square), so every size shows the same design.
//   quorvane_render_icons ICON.xpm OUT-DIR NAME SIZE...
// writes OUT-DIR/SIZExSIZE/apps/NAME.png for each size.
#include <QDir>
#include <QImage>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: quorvane_render_icons ICON.xpm OUT-DIR NAME SIZE...\n");
        return 2;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    if (icon.isNull())
        return 1;
    for (int i = 4; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        const QString folder =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        const QImage scaled =
            icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (size <= 0 || !QDir().mkpath(folder) ||
            !scaled.save(folder + u'/' + QString::fromLocal8Bit(argv[3]) + QStringLiteral(".png"),
                         "PNG"))
            return 1;
    }
    return 0;
}

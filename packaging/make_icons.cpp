// Draws the product icon for the desktop's icon theme:
//   make_icons <folder> <name>
// writes <folder>/<N>x<N>/apps/<name>.png for the theme's sizes and
// <folder>/scalable/apps/<name>.svg, all from the same drawing as the window icon.
#include "forms/fPictures.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace {
const int Sizes[] = {16, 32, 48, 64, 128, 256};
constexpr int SvgSize = 256;

bool writePng(const QDir &root, const QString &name, int size)
{
    const QString folder = QStringLiteral("%1x%1/apps").arg(size);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        PaintProductSheep(p, QSizeF(size, size));
    }
    return root.mkpath(folder) && image.save(root.filePath(folder + "/" + name + ".png"), "PNG");
}

bool writeSvg(const QDir &root, const QString &name)
{
    if (!root.mkpath(QStringLiteral("scalable/apps")))
        return false;
    QSvgGenerator svg;
    svg.setFileName(root.filePath("scalable/apps/" + name + ".svg"));
    svg.setSize(QSize(SvgSize, SvgSize));
    svg.setViewBox(QRect(0, 0, SvgSize, SvgSize));
    svg.setTitle(QStringLiteral("Grazlo"));
    QPainter p;
    if (!p.begin(&svg))
        return false;
    PaintProductSheep(p, QSizeF(SvgSize, SvgSize));
    return p.end();
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fputs("Aufruf: make_icons ORDNER NAME\n", stderr);
        return 64;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    bool ok = writeSvg(root, name);
    for (int size : Sizes)
        ok = writePng(root, name, size) && ok;
    if (!ok)
        std::fprintf(stderr, "make_icons: Die Symbole konnten nicht nach %s geschrieben werden.\n", argv[1]);
    return ok ? 0 : 1;
}

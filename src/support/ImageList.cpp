#include "ImageList.h"

#include <QImage>
#include <QPainter>

namespace {

// The disabled look: the image in light greys, its transparency kept.
QPixmap greyed(const QPixmap &source)
{
    QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace

void TImageList::SetSize(int width, int height)
{
    FWidth = width;
    FHeight = height;
    FImages.clear();
}

int TImageList::Add(const QPixmap &image, const QColor &transparent)
{
    // Every image of the list has the list's size: a larger one is cut, a smaller one
    // padded with transparent pixels.
    QImage sized(FWidth, FHeight, QImage::Format_ARGB32);
    sized.fill(Qt::transparent);
    {
        QPainter painter(&sized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, image.toImage().convertToFormat(QImage::Format_ARGB32));
    }
    if (transparent.isValid()) {
        const QRgb key = transparent.rgb() & RGB_MASK;
        for (int y = 0; y < sized.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(sized.scanLine(y));
            for (int x = 0; x < sized.width(); ++x)
                if ((line[x] & RGB_MASK) == key)
                    line[x] = qRgba(0, 0, 0, 0);
        }
    }
    FImages.append(QPixmap::fromImage(sized));
    return int(FImages.size()) - 1;
}

void TImageList::Draw(QPainter &painter, int x, int y, int index, bool enabled) const
{
    if (index < 0 || index >= FImages.size())
        return;
    painter.drawPixmap(x, y, enabled ? FImages[index] : greyed(FImages[index]));
}

// A list of small images of one size, drawn by index in an enabled or disabled look.
#pragma once

#include <QList>
#include <QPixmap>

class QPainter;

class TImageList {
public:
    TImageList(int width = 16, int height = 16) : FWidth(width), FHeight(height) {}

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return int(FImages.size()); }
    /// Changes the size of the images; clears the list.
    void SetSize(int width, int height);
    void Clear() { FImages.clear(); }
    /// Adds a bitmap; pixels of `transparent` (when valid) become transparent.
    int Add(const QPixmap &image, const QColor &transparent = QColor());
    QPixmap Image(int index) const { return FImages.value(index); }
    /// Draws image `index` at (x, y); greyed when not enabled; nothing for an index out of range.
    void Draw(QPainter &painter, int x, int y, int index, bool enabled) const;

private:
    int FWidth;
    int FHeight;
    QList<QPixmap> FImages;
};

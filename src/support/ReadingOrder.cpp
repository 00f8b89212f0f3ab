#include "ReadingOrder.h"

#include <QWidget>

#include <algorithm>

namespace {

bool TakesTab(const QWidget *widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy();
}

bool HoldsTabControl(const QWidget *widget)
{
    if (TakesTab(widget))
        return true;
    const auto children = widget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    return std::any_of(children.begin(), children.end(),
                       [](const QWidget *child) { return !child->isWindow() && HoldsTabControl(child); });
}

// Splits `items` into the groups that a line across the axis separates (rows when
// `vertical`, columns otherwise), in order along the axis.
QList<QList<QWidget *>> Bands(QList<QWidget *> items, bool vertical)
{
    const auto start = [vertical](const QWidget *w) { return vertical ? w->y() : w->x(); };
    const auto end = [vertical](const QWidget *w) { return vertical ? w->y() + w->height() : w->x() + w->width(); };
    std::stable_sort(items.begin(), items.end(), [&](const QWidget *a, const QWidget *b) { return start(a) < start(b); });
    QList<QList<QWidget *>> bands;
    int bandEnd = 0;
    for (QWidget *item : items) {
        if (bands.isEmpty() || start(item) >= bandEnd) {
            bands.append(QList<QWidget *>());
            bandEnd = end(item);
        }
        bands.last().append(item);
        bandEnd = std::max(bandEnd, end(item));
    }
    return bands;
}

void AppendInReadingOrder(const QList<QWidget *> &items, QList<QWidget *> &ordered);

void AppendContainer(const QWidget *container, QList<QWidget *> &ordered)
{
    QList<QWidget *> items;
    for (QWidget *child : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && HoldsTabControl(child))
            items.append(child);
    AppendInReadingOrder(items, ordered);
}

void AppendInReadingOrder(const QList<QWidget *> &items, QList<QWidget *> &ordered)
{
    if (items.size() > 1) {
        // Rows first; a row that no line splits into rows is split into columns.
        for (const bool vertical : {true, false}) {
            const QList<QList<QWidget *>> bands = Bands(items, vertical);
            if (bands.size() > 1) {
                for (const QList<QWidget *> &band : bands)
                    AppendInReadingOrder(band, ordered);
                return;
            }
        }
    }
    // Controls overlapping both ways: top first, then left.
    QList<QWidget *> rest = items;
    std::stable_sort(rest.begin(), rest.end(), [](const QWidget *a, const QWidget *b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    for (QWidget *item : rest) {
        if (TakesTab(item))
            ordered.append(item);
        else
            AppendContainer(item, ordered);
    }
}

} // namespace

QList<QWidget *> TabControlsInReadingOrder(const QWidget *root)
{
    QList<QWidget *> ordered;
    AppendContainer(root, ordered);
    return ordered;
}

void ChainTabOrder(QWidget *previous, const QList<QWidget *> &controls)
{
    for (QWidget *control : controls) {
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

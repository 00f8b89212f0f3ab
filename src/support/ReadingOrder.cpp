#include "ReadingOrder.h"

#include <QWidget>

#include <algorithm>
#include <climits>

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

// Controls of a fixed-geometry design often overlap their neighbours by a pixel or
// so: an overlap this small still separates two rows or columns.
constexpr int Slack = 4;

// The groups of `items` that lines across the axis separate (rows when `vertical`,
// columns otherwise), in order along the axis, and the widest space between two of them.
struct Bands {
    QList<QList<QWidget *>> groups;
    int widestGap = INT_MIN;
};

Bands Split(QList<QWidget *> items, bool vertical)
{
    const auto start = [vertical](const QWidget *w) { return vertical ? w->y() : w->x(); };
    const auto end = [vertical](const QWidget *w) { return vertical ? w->y() + w->height() : w->x() + w->width(); };
    std::stable_sort(items.begin(), items.end(), [&](const QWidget *a, const QWidget *b) { return start(a) < start(b); });
    Bands bands;
    int bandEnd = 0;
    for (QWidget *item : items) {
        if (bands.groups.isEmpty() || start(item) > bandEnd - Slack) {
            if (!bands.groups.isEmpty())
                bands.widestGap = std::max(bands.widestGap, start(item) - bandEnd);
            bands.groups.append(QList<QWidget *>());
            bandEnd = end(item);
        }
        bands.groups.last().append(item);
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
        // Rows, unless the controls stand in columns of one control a row, further apart
        // than the rows are (two columns of options side by side, whose rows need not
        // line up); a row or a column is split again in the same way.
        const Bands rows = Split(items, true);
        const Bands columns = Split(items, false);
        const bool stacks = std::all_of(columns.groups.begin(), columns.groups.end(), [](const QList<QWidget *> &column) {
            return Split(column, true).groups.size() == column.size();
        });
        const Bands &chosen = columns.groups.size() > 1 && columns.widestGap > rows.widestGap && stacks ? columns : rows;
        if (chosen.groups.size() > 1) {
            for (const QList<QWidget *> &band : chosen.groups)
                AppendInReadingOrder(band, ordered);
            return;
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

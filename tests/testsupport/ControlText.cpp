#include "ControlText.h"

#include "support/LumoRadio.h"
#include "support/LumoUrl.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

QRect ShownRect(const QWidget *control)
{
    QRect shown = control->rect();
    QPoint offset;
    for (const QWidget *child = control; !child->isWindow(); child = child->parentWidget()) {
        offset += child->pos();
        const QWidget *parent = child->parentWidget();
        QRect inside = parent->rect();
        if (qobject_cast<const QGroupBox *>(parent))
            inside.setCoords(parent->contentsRect().left(), inside.top(), parent->contentsRect().right(), inside.bottom());
        shown &= inside.translated(-offset);
    }
    return shown;
}

QRect TextRect(const QWidget *control)
{
    if (const auto *link = qobject_cast<const TLumoUrl *>(control))
        return link->Caption().isEmpty() ? QRect() : link->CaptionRect();
    if (const auto *option = qobject_cast<const TLumoRadio *>(control))
        return option->Caption().isEmpty() ? QRect() : option->CaptionRect();
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        if (label->text().isEmpty())
            return QRect();
        return label->wordWrap() ? QRect(0, 0, label->width(), label->heightForWidth(label->width()))
                                 : QRect(QPoint(), label->sizeHint());
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(control)) {
        const int textHeight = button->fontMetrics().height();
        return QRect(0, (button->height() - textHeight) / 2, button->sizeHint().width(), textHeight);
    }
    return QRect();
}

QStringList CutTexts(const QWidget *container)
{
    QStringList faults;
    QList<std::pair<const QWidget *, QRect>> texts; // in their parent's coordinates
    for (const QWidget *control : container->findChildren<QWidget *>()) {
        const QRect needed = TextRect(control);
        if (!control->isVisible() || needed.isNull())
            continue;
        if (!ShownRect(control).contains(needed))
            faults << control->objectName() + QStringLiteral(" is cut");
        for (const auto &[other, rect] : texts)
            if (other->parentWidget() == control->parentWidget() && rect.intersects(needed.translated(control->pos())))
                faults << control->objectName() + QStringLiteral(" runs into ") + other->objectName();
        texts.append({control, needed.translated(control->pos())});
    }
    return faults;
}

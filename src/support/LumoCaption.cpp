#include "LumoCaption.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

#include <algorithm>

int CaptionFlags(bool wordWrap)
{
    // "&" marks an accelerator, as screen readers are told (SpokenCaption); "&&" is drawn "&".
    return Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | (wordWrap ? int(Qt::TextWordWrap) : 0);
}

QRect CaptionRect(const QWidget *control, const QFont &font, const QString &caption, int imageWidth, bool wordWrap)
{
    const QFontMetrics metrics(font);
    const int left = imageWidth >= 0 ? imageWidth + 3 : 2;
    // On one line the caption may run past the control (and be cut): its own width counts.
    const int width = wordWrap ? std::max(1, control->width() - left) : QWIDGETSIZE_MAX / 2;
    QRect text = metrics.boundingRect(QRect(left, 0, width, QWIDGETSIZE_MAX / 2), CaptionFlags(wordWrap), caption);
    text.setHeight(std::max(text.height(), metrics.height()));
    text.moveTop(imageWidth >= 0 ? (control->height() - text.height()) / 2 : 2);
    return text;
}

void DrawFocusFrame(QPainter &painter, const QWidget *control, const QRect &captionRect)
{
    if (!control->hasFocus())
        return;
    QStyleOptionFocusRect option;
    option.initFrom(control);
    option.rect = captionRect.adjusted(-1, 0, 1, 0) & control->rect();
    option.backgroundColor = control->palette().color(QPalette::Window);
    // Shown however the focus came (some styles draw it only after a Tab otherwise).
    option.state |= QStyle::State_KeyboardFocusChange;
    control->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, control);
}

bool IsActivationKey(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

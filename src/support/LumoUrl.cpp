#include "LumoUrl.h"

#include "ErrorMessageBox.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QUrl>

TLumoUrl::TLumoUrl(QWidget *parent)
    : QWidget(parent)
    , FMouseOverColor(Qt::blue)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    setCursor(Qt::PointingHandCursor);
    resize(150, 32);
    FMouseOverFont = font();
    FMouseOverFont.setUnderline(true);
}

void TLumoUrl::SetCaption(const QString &caption)
{
    FCaption = caption;
    update();
}

void TLumoUrl::SetMouseOverFont(const QFont &font)
{
    FMouseOverFont = font;
    FMouseOverFontSet = true;
    update();
}

void TLumoUrl::SetMouseOverColor(const QColor &color)
{
    FMouseOverColor = color;
    update();
}

void TLumoUrl::SetPicture(const QPixmap &bitmap)
{
    FImageList.SetSize(bitmap.width(), bitmap.height());
    if (!bitmap.isNull())
        FImageList.Add(bitmap, bitmap.toImage().pixelColor(0, 0));
    update();
}

void TLumoUrl::SetPictureIcon(const QIcon &icon, const QSize &size)
{
    FImageList.SetSize(size.width(), size.height());
    if (!icon.isNull())
        FImageList.Add(icon.pixmap(size));
    update();
}

void TLumoUrl::ClearPicture()
{
    FImageList.Clear();
    update();
}

void TLumoUrl::paintEvent(QPaintEvent *)
{
    // Nothing is filled: the parent's background shows through.
    QPainter painter(this);
    const bool enabled = isEnabled();
    if (FMouseOver && enabled) {
        painter.setFont(FMouseOverFont);
        painter.setPen(FMouseOverColor);
    } else {
        painter.setFont(font());
        painter.setPen(palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    }
    const QFontMetrics metrics = painter.fontMetrics();
    if (FImageList.Count() > 0) {
        const int textTop = (height() - metrics.height()) / 2;
        painter.drawText(FImageList.Width() + 3, textTop + metrics.ascent(), FCaption);
        FImageList.Draw(painter, 1, (height() - FImageList.Height()) / 2, 0, enabled);
    } else {
        painter.drawText(2, 2 + metrics.ascent(), FCaption);
    }
}

void TLumoUrl::enterEvent(QEnterEvent *)
{
    if (isEnabled()) {
        FMouseOver = true;
        update();
    }
}

void TLumoUrl::leaveEvent(QEvent *)
{
    if (isEnabled()) {
        FMouseOver = false;
        update();
    }
}

void TLumoUrl::mousePressEvent(QMouseEvent *event)
{
    // Accepted so that the release comes back to this control.
    event->accept();
    update();
}

void TLumoUrl::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    const bool over = rect().contains(event->position().toPoint());
    // A handler may destroy the link (its picker closing, for instance).
    const QPointer<TLumoUrl> self(this);
    if (event->button() == Qt::LeftButton && over)
        RunGuarded(objectName() + QStringLiteral(".Click"), [this] { emit Click(); });
    if (!self)
        return;
    if (isEnabled() && FIsURL && !FURL.isEmpty())
        QDesktopServices::openUrl(QUrl::fromUserInput(FURL));
    update();
}

void TLumoUrl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange && !FMouseOverFontSet) {
        FMouseOverFont = font();
        FMouseOverFont.setUnderline(true);
    }
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
    QWidget::changeEvent(event);
}

#include "LumoUrl.h"

#include "ErrorMessageBox.h"
#include "LumoAccessible.h"
#include "LumoCaption.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QUrl>

#include <algorithm>

TLumoUrl::TLumoUrl(QWidget *parent)
    : QWidget(parent)
    , FMouseOverColor(Qt::blue)
{
    InstallLumoAccessibility();
    // Tab only: a click does not leave a focus frame behind.
    setFocusPolicy(Qt::TabFocus);
    setAutoFillBackground(false);
    setCursor(Qt::PointingHandCursor);
    resize(150, 32);
    FMouseOverFont = font();
    FMouseOverFont.setUnderline(true);
}

void TLumoUrl::SetCaption(const QString &caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    update();
    AnnounceNameChange(this);
}

void TLumoUrl::FitWidthToCaption()
{
    if (!FWordWrap)
        resize(std::max(width(), CaptionRect().right() + 1), height());
}

void TLumoUrl::SetWordWrap(bool wrap)
{
    FWordWrap = wrap;
    update();
}

const QFont &TLumoUrl::CaptionFont() const
{
    return (FMouseOver || hasFocus()) && isEnabled() ? FMouseOverFont : font();
}

QRect TLumoUrl::CaptionRect() const
{
    return ::CaptionRect(this, CaptionFont(), FCaption, FImageList.Count() > 0 ? FImageList.Width() : -1, FWordWrap);
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
    // The link the keyboard is on looks as under the pointer, in a focus frame.
    const bool enabled = isEnabled();
    painter.setFont(CaptionFont());
    if ((FMouseOver || hasFocus()) && enabled)
        painter.setPen(FMouseOverColor);
    else
        painter.setPen(palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const QRect caption = CaptionRect();
    painter.drawText(caption, CaptionFlags(FWordWrap), FCaption);
    if (FImageList.Count() > 0)
        FImageList.Draw(painter, 1, (height() - FImageList.Height()) / 2, 0, enabled);
    DrawFocusFrame(painter, this, caption);
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

void TLumoUrl::keyPressEvent(QKeyEvent *event)
{
    if (!IsActivationKey(event->key()) || event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat())
        Press();
}

void TLumoUrl::Press()
{
    if (!isEnabled())
        return;
    const QPointer<TLumoUrl> self(this);
    RunGuarded(objectName() + QStringLiteral(".Click"), [this] { emit Click(); });
    if (self && FIsURL && !FURL.isEmpty())
        QDesktopServices::openUrl(QUrl::fromUserInput(FURL));
}

void TLumoUrl::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void TLumoUrl::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
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

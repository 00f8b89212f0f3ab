#include "LumoRadio.h"

#include "ErrorMessageBox.h"
#include "LumoAccessible.h"
#include "LumoCaption.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

TLumoRadio::TLumoRadio(QWidget *parent)
    : QWidget(parent)
{
    InstallLumoAccessibility();
    // Tab only: a click does not leave a focus frame behind.
    setFocusPolicy(Qt::TabFocus);
    setAutoFillBackground(false);
    resize(150, 32);
}

void TLumoRadio::SetImageList(const TImageList *list)
{
    FImageList = list;
    update();
}

void TLumoRadio::SetCaption(const QString &caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    update();
    AnnounceNameChange(this);
}

void TLumoRadio::FitWidthToCaption()
{
    if (!FWordWrap)
        resize(std::max(width(), CaptionRect().right() + 1), height());
}

void TLumoRadio::SetWordWrap(bool wrap)
{
    FWordWrap = wrap;
    update();
}

QRect TLumoRadio::CaptionRect() const
{
    return ::CaptionRect(this, font(), FCaption, FImageList ? FImageList->Width() : -1, FWordWrap);
}

void TLumoRadio::SetValue(bool value)
{
    if (value == FValue)
        return;
    FValue = value;
    update();
    AnnounceCheckedChange(this);
    const QPointer<TLumoRadio> self(this);
    emit Click();
    if (!self || FControlType != iLumoRadio || !value || !parentWidget())
        return;
    // Checking a radio unchecks the others of its group on the same parent, check boxes
    // of that group number included; each one that changes raises its own Click.
    const auto siblings = parentWidget()->findChildren<TLumoRadio *>(QString(), Qt::FindDirectChildrenOnly);
    for (const QPointer<TLumoRadio> other : siblings)
        if (other && other != this && other->FGroupIndex == FGroupIndex)
            other->SetValue(false);
}

void TLumoRadio::SetImgChecked(int index)
{
    FImgChecked = index;
    update();
}

void TLumoRadio::SetImgUnChecked(int index)
{
    FImgUnChecked = index;
    update();
}

void TLumoRadio::SetImgMoveChecked(int index)
{
    FImgMoveChecked = index;
    update();
}

void TLumoRadio::SetImgMoveUnChecked(int index)
{
    FImgMoveUnChecked = index;
    update();
}

int TLumoRadio::CurrentImageIndex() const
{
    if (!FImageList)
        return -1;
    const bool moving = FMouseOver && isEnabled();
    if (FValue)
        return moving ? FImgMoveChecked : FImgChecked;
    return moving ? FImgMoveUnChecked : FImgUnChecked;
}

void TLumoRadio::SetupAsRadio(const TImageList *list)
{
    FControlType = iLumoRadio;
    FGroupIndex = 1;
    FCanUncheck = false;
    FImgChecked = 0;
    FImgMoveChecked = 0;
    FImgUnChecked = -1;
    FImgMoveUnChecked = -1;
    SetImageList(list);
}

void TLumoRadio::SetupAsCheck(const TImageList *list)
{
    FControlType = iLumoCheck;
    FGroupIndex = 2;
    FCanUncheck = true;
    FImgChecked = 3;
    FImgMoveChecked = 3;
    FImgUnChecked = 4;
    FImgMoveUnChecked = 4;
    SetImageList(list);
}

void TLumoRadio::paintEvent(QPaintEvent *)
{
    // Nothing is filled: the parent's background shows through.
    QPainter painter(this);
    const bool enabled = isEnabled();
    painter.setFont(font());
    painter.setPen(palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QRect caption = CaptionRect();
    painter.drawText(caption, CaptionFlags(FWordWrap), FCaption);
    if (FImageList)
        FImageList->Draw(painter, 1, (height() - FImageList->Height()) / 2, CurrentImageIndex(), enabled);
    DrawFocusFrame(painter, this, caption);
}

void TLumoRadio::setMouseOver(bool over)
{
    const bool imageChanges = FValue ? FImgMoveChecked != FImgChecked : FImgMoveUnChecked != FImgUnChecked;
    FMouseOver = over;
    if (imageChanges)
        update();
}

void TLumoRadio::enterEvent(QEnterEvent *)
{
    setMouseOver(true);
}

void TLumoRadio::leaveEvent(QEvent *)
{
    setMouseOver(false);
}

void TLumoRadio::mousePressEvent(QMouseEvent *event)
{
    // Accepted so that the release comes back to this control.
    event->accept();
    update();
}

void TLumoRadio::mouseReleaseEvent(QMouseEvent *event)
{
    // Any button's release is a click: a check toggles, a radio that cannot be unchecked
    // only ever becomes checked.
    event->accept();
    const QPointer<TLumoRadio> self(this);
    Press();
    if (self)
        update();
}

void TLumoRadio::Press()
{
    if (!isEnabled())
        return;
    const QPointer<TLumoRadio> self(this);
    RunGuarded(objectName() + QStringLiteral(".Click"), [this, &self] {
        const bool newValue = FControlType == iLumoRadio && !FCanUncheck ? true : !FValue;
        if (newValue != FValue)
            SetValue(newValue);
        if (self)
            emit Click();
    });
}

void TLumoRadio::keyPressEvent(QKeyEvent *event)
{
    if (!IsActivationKey(event->key()) || event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat())
        Press();
}

void TLumoRadio::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void TLumoRadio::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

void TLumoRadio::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

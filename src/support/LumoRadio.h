// TLumoRadio: an image radio button or check box. A caption beside an image taken from
// a shared image list by checked state and pointer-over state; radios of one group on
// one parent exclude each other. Windowless; Tab reaches it, it then shows a focus frame,
// and Space or Enter click it. Screen readers meet it as a radio button or a check box.
#pragma once

#include "ImageList.h"

#include <QWidget>

enum TLumoControlType { iLumoCheck = 0, iLumoRadio = 1 };

class TLumoRadio : public QWidget {
    Q_OBJECT

public:
    explicit TLumoRadio(QWidget *parent = nullptr);

    TLumoControlType ControlType() const { return FControlType; }
    void SetControlType(TLumoControlType type) { FControlType = type; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int index) { FGroupIndex = index; }
    /// Not owned; none draws the caption only.
    const TImageList *ImageList() const { return FImageList; }
    void SetImageList(const TImageList *list);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &caption);
    bool Value() const { return FValue; }
    /// Checks or unchecks; checking a radio unchecks the others of its group on its parent.
    void SetValue(bool value);
    bool CanUncheck() const { return FCanUncheck; }
    void SetCanUncheck(bool canUncheck) { FCanUncheck = canUncheck; }
    /// Image indexes; -1 draws no image for that state.
    void SetImgChecked(int index);
    void SetImgUnChecked(int index);
    void SetImgMoveChecked(int index);
    void SetImgMoveUnChecked(int index);
    int ImgChecked() const { return FImgChecked; }
    int ImgUnChecked() const { return FImgUnChecked; }
    int ImgMoveChecked() const { return FImgMoveChecked; }
    int ImgMoveUnChecked() const { return FImgMoveUnChecked; }
    /// The image index painting uses now (-1: no image, also without an image list).
    int CurrentImageIndex() const;
    bool MouseOver() const { return FMouseOver; }
    int Tag = 0;
    /// Whether a caption too long for the control's width goes on over several lines.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool wrap);
    /// Where the whole caption is drawn, in the control's coordinates; wider than the
    /// control when a caption on one line does not fit.
    QRect CaptionRect() const;
    /// Widens the control, when its caption on one line needs it, to show it whole.
    void FitWidthToCaption();

    /// The settings every radio of the pickers uses: group 1, mark only when checked.
    void SetupAsRadio(const TImageList *list);
    /// The settings every check box of the pickers uses: group 2, images 3 and 4.
    void SetupAsCheck(const TImageList *list);
    /// What a click does: a check toggles, a radio that cannot be unchecked only ever
    /// becomes checked; Click follows.
    void Press();

signals:
    /// Raised by each control whose value changes, and once more by the clicked control
    /// after every click (a toggled check box raises it twice).
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    /// Repaints only when the image shown changes with the pointer.
    void setMouseOver(bool over);

    TLumoControlType FControlType = iLumoCheck;
    int FGroupIndex = 0;
    const TImageList *FImageList = nullptr;
    QString FCaption;
    bool FValue = false;
    bool FCanUncheck = false;
    int FImgChecked = 0;
    int FImgUnChecked = 0;
    int FImgMoveChecked = 0;
    int FImgMoveUnChecked = 0;
    bool FMouseOver = false;
    bool FWordWrap = false;
};

// TLumoUrl: a link label. A caption with an optional small picture, drawn in a blue
// underlined font while the pointer is over it, raising Click on a left-button release;
// optionally it opens a URL. Windowless; Tab reaches it, it then shows a focus frame, and
// Space or Enter click it. Screen readers meet it as a link named by its caption.
#pragma once

#include "ImageList.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QWidget>

class TLumoUrl : public QWidget {
    Q_OBJECT

public:
    explicit TLumoUrl(QWidget *parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &caption);
    /// Font used while the pointer is over the enabled control. Until it is set, it
    /// follows `font()` (underlined), so a font given to the parent after the link was
    /// created still reaches it.
    const QFont &MouseOverFont() const { return FMouseOverFont; }
    void SetMouseOverFont(const QFont &font);
    /// Text colour that goes with the mouse-over font (blue).
    QColor MouseOverColor() const { return FMouseOverColor; }
    void SetMouseOverColor(const QColor &color);
    /// A bitmap picture: its top-left pixel's colour is transparent.
    void SetPicture(const QPixmap &bitmap);
    /// An icon picture.
    void SetPictureIcon(const QIcon &icon, const QSize &size = QSize(16, 16));
    /// No picture (also what a picture of another kind gives).
    void ClearPicture();
    bool HasPicture() const { return FImageList.Count() > 0; }
    QString URL() const { return FURL; }
    void SetURL(const QString &url) { FURL = url; }
    bool IsURL() const { return FIsURL; }
    void SetIsURL(bool isUrl) { FIsURL = isUrl; }
    /// Free integer a handler serving several links can read.
    int Tag = 0;
    bool MouseOver() const { return FMouseOver; }
    /// Whether a caption too long for the control's width goes on over several lines.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool wrap);
    /// Where the whole caption is drawn, in the control's coordinates; wider than the
    /// control when a caption on one line does not fit.
    QRect CaptionRect() const;
    /// Widens the control, when its caption on one line needs it, to show it whole.
    void FitWidthToCaption();
    /// Works the link as Space or Enter do: Click, then the URL when it is one.
    void Press();

signals:
    /// Left-button release over the control.
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
    /// The font of the caption now: the mouse-over one under the pointer or the focus.
    const QFont &CaptionFont() const;

    QString FCaption;
    QFont FMouseOverFont;
    QColor FMouseOverColor;
    bool FMouseOverFontSet = false;
    TImageList FImageList;
    QString FURL;
    bool FIsURL = false;
    bool FMouseOver = false;
    bool FWordWrap = false;
};

// TLumoUrl: a link label. A caption with an optional small picture, drawn in a blue
// underlined font while the pointer is over it, raising Click on a left-button release;
// optionally it opens a URL. Windowless and without keyboard focus.
#pragma once

#include "ImageList.h"

#include <QFont>
#include <QIcon>
#include <QWidget>

class TLumoUrl : public QWidget {
    Q_OBJECT

public:
    explicit TLumoUrl(QWidget *parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &caption);
    const QFont &MouseOverFont() const { return FMouseOverFont; }
    void SetMouseOverFont(const QFont &font);
    /// A bitmap picture: its top-left pixel's colour is transparent.
    void SetPicture(const QPixmap &bitmap);
    /// An icon picture.
    void SetPictureIcon(const QIcon &icon, const QSize &size = QSize(16, 16));
    /// No picture (also what a picture of another kind gives).
    void ClearPicture();
    QString URL() const { return FURL; }
    void SetURL(const QString &url) { FURL = url; }
    bool IsURL() const { return FIsURL; }
    void SetIsURL(bool isUrl) { FIsURL = isUrl; }
    /// Free integer a handler serving several links can read.
    int Tag = 0;
    bool MouseOver() const { return FMouseOver; }

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

private:
    QString FCaption;
    QFont FMouseOverFont;
    TImageList FImageList;
    QString FURL;
    bool FIsURL = false;
    bool FMouseOver = false;
};

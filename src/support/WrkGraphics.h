// The image store: a window that is never shown and holds the images shared by the
// picker windows (radio marks, check boxes, link icons, list icons).
#pragma once

#include "ImageList.h"

#include <QWidget>

class TfWrkGraphics : public QWidget {
    Q_OBJECT

public:
    explicit TfWrkGraphics(QWidget *parent = nullptr);

    /// 16 x 16: 0 checked radio mark, 3 checked box, 4 unchecked box.
    TImageList ImagesChk;
    /// 16 x 16 images of the questionnaire lists.
    TImageList Images16x16;
    /// Small link pictures (bitmaps whose top-left pixel is the transparent colour).
    QPixmap LinkPicture() const;
    QPixmap QuestionnairePicture() const;
    QPixmap QuestionPicture() const;
};

/// The image store while it exists (created by the program entry, and by tests).
extern TfWrkGraphics *fWrkGraphics;

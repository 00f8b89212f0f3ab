// The image store: a window that is never shown and holds the images shared by the
// picker windows (radio marks, check boxes, link icons, list icons). The artwork is
// drawn once, when the store is created.
#pragma once

#include "ImageList.h"

#include <QWidget>

class TfWrkGraphics : public QWidget {
    Q_OBJECT

public:
    explicit TfWrkGraphics(QWidget *parent = nullptr);
    ~TfWrkGraphics() override;

    /// 16 x 16: 0 checked radio mark, 1 empty radio, 2 radio mark under the pointer,
    /// 3 checked box, 4 unchecked box, 5 and 6 the same under the pointer, 7 greyed box.
    TImageList ImagesChk;
    /// 16 x 16 images of the questionnaire lists: 5 questionnaire, 6 super-questionnaire,
    /// 7 to 10 questions (plain, free text, choice list, number); others are general
    /// glyphs (0 folder, 1 open folder, 2 document, 3 person, 4 calendar, 11 tick,
    /// 12 cross, 13 star, 14 information, 15 warning).
    TImageList Images16x16;
    /// Small link pictures (bitmaps whose top-left pixel is the transparent colour).
    QPixmap LinkPicture() const { return FLinkPicture; }
    QPixmap QuestionnairePicture() const { return FQuestionnairePicture; }
    QPixmap QuestionPicture() const { return FQuestionPicture; }

private:
    QPixmap FLinkPicture;
    QPixmap FQuestionnairePicture;
    QPixmap FQuestionPicture;
};

/// The image store while it exists (created by the program entry, and by tests).
extern TfWrkGraphics *fWrkGraphics;

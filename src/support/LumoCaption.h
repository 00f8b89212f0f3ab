// What the link label and the image radio share about their caption: where it is drawn
// beside an optional image, on one line or word-wrapped within the control's width, and
// the focus frame that shows which one the keyboard is on.
#pragma once

#include <QRect>

class QFont;
class QPainter;
class QString;
class QWidget;

/// Flags that draw a caption as CaptionRect places it.
int CaptionFlags(bool wordWrap);
/// The rectangle the whole caption takes in `control`, drawn in `font`: right of an
/// image `imageWidth` wide (none when `imageWidth` is negative: at (2, 2)), centred
/// vertically beside the image; word-wrapped within the control's width when `wordWrap`.
QRect CaptionRect(const QWidget *control, const QFont &font, const QString &caption, int imageWidth, bool wordWrap);
/// Draws the style's focus frame around `captionRect` when `control` has the focus.
void DrawFocusFrame(QPainter &painter, const QWidget *control, const QRect &captionRect);
/// Whether the key pressed works the control as a click does (Space, Enter, Return).
bool IsActivationKey(int key);

// Whether the texts of a window's controls can be read whole: each control's text drawn
// inside the part of it that its parents leave visible, and clear of its siblings' texts.
#pragma once

#include <QRect>
#include <QStringList>

class QWidget;

/// The part of `control` that its parents leave visible, in the control's coordinates;
/// a group box keeps its frame's sides for itself.
QRect ShownRect(const QWidget *control);

/// Where the control's whole text is drawn, in its own coordinates; null without text.
QRect TextRect(const QWidget *control);

/// The visible controls under `container` whose text is cut ("<name> is cut") or runs
/// into a sibling's text ("<name> runs into <other>"); empty when every text reads whole.
QStringList CutTexts(const QWidget *container);

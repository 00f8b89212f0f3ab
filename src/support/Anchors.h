// Anchors for windows laid out by fixed geometry: a control keeps its distance to the
// chosen edges of its parent when the parent is resized (left and right anchors
// stretch it, a right anchor alone moves it, and so on).
#pragma once

#include <Qt>

class QWidget;

/// Anchors `control` to the `edges` of its parent, keeping the distances it has now.
void SetAnchors(QWidget *control, Qt::Edges edges);

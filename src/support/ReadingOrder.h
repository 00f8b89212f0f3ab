// The order in which a reader meets the controls of a window laid out by fixed
// geometry: bands from top to bottom, columns from left to right within a band, and a
// container's controls together, in the same order within it.
#pragma once

#include <QList>

class QWidget;

/// The controls under `root` that Tab can reach, in reading order. A control that takes
/// the focus stands for the controls inside it.
QList<QWidget *> TabControlsInReadingOrder(const QWidget *root);
/// Chains `controls` for Tab, after `previous`.
void ChainTabOrder(QWidget *previous, const QList<QWidget *> &controls);

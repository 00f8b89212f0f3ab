// The order in which a reader meets the controls of a window laid out by fixed
// geometry: rows from top to bottom and, within a row, left to right; columns that stand
// apart (two columns of options) one after the other; a container's controls together.
#pragma once

#include <QList>

class QWidget;

/// The controls under `root` that Tab can reach, in reading order. A control that takes
/// the focus stands for the controls inside it.
QList<QWidget *> TabControlsInReadingOrder(const QWidget *root);
/// Chains `controls` for Tab, after `previous`.
void ChainTabOrder(QWidget *previous, const QList<QWidget *> &controls);

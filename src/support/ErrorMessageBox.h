// The error window in which data loaders report an error they survive: where it
// happened, the full text in a read-only box, and a link that copies it.
#pragma once

#include <QString>

class QWidget;

/// The text the error window shows for `message` raised at `location`.
QString ErrorMessageText(QWidget *owner, const QString &message, const QString &location);

/// Shows the error window modally (through the message seam, kind ErrorWindow).
/// A critical error ends the application when the window is closed.
void ShowErrorMessage(QWidget *owner, const QString &message, const QString &location, bool critical = false);

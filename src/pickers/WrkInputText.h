// The dialog that asks the user for one text (the wording of a question, for example).
#pragma once

#include <QString>

/// Asks for a text in a modal dialog (through the message seam, kind InputText).
/// `resultCode` receives 1 (OK) or 2 (cancelled); `text` the entered text, trimmed,
/// when 1, else the empty text.
void InputText(const QString &caption, const QString &prompt, int &resultCode, const QString &initialText,
               bool multiLine, bool allowEmpty, bool showCancel, QString &text);

// What a picker needs from the window that hosts it, and nothing more: the one road by
// which a code reaches the document, the run's template variables and questionnaire,
// the codes inserted so far, and the window that owns the picker and its dialogs. The
// main window implements it; pickers never see the main window itself, so they sit in a
// layer below it.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

class TPickerHost {
public:
    /// Inserts `code` into the target document, as InsertCode does for the main window.
    virtual void InsertCode(const QString &code) = 0;
    /// The template variable names (FVariables), or null when no variables file was read.
    virtual const QStringList *Variables() const = 0;
    /// The questionnaire given by "-qre=" (FQuestionnaireId); 0 when absent.
    virtual int QuestionnaireId() const = 0;
    /// The codes handed to InsertCode since the program started, oldest first; kept in
    /// memory only.
    virtual const QStringList &InsertedCodes() const = 0;
    /// The window that owns the pickers and their dialogs.
    virtual QWidget *OwnerWindow() = 0;

protected:
    ~TPickerHost() = default;
};

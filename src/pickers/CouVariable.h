// The variables picker: lists the template variables of the variables file (the main
// window's FVariables) and inserts the chosen one as a variable code, £[VAR :name ]#.
#pragma once

#include "PickerForm.h"

class QLabel;
class QTreeWidget;

class TfCouVariable : public TfPickerForm {
    Q_OBJECT

public:
    Q_INVOKABLE explicit TfCouVariable(TPickerHost *host);

    QLabel *Label1;
    QTreeWidget *lvVar;

    void FormCreate();
    /// Inserts the selected variable; nothing without a selected row.
    void lvVarDblClick();
};

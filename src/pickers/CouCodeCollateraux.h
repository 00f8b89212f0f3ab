// The collaterals picker: the user chooses how the collateral is selected when the
// letter is produced (one of four fixed modes, or one collateral type of the practice's
// reference list) and a field; the code is "£SA" + selector + " : " + field + "#", or
// "£SAX#" for a new choice at each letter. The collateral types are read from
// gReferences at creation.
#pragma once

#include "PickerForm.h"

class QComboBox;
class QLabel;
class QListWidget;

class TfCouCodeCollateraux : public TfPickerForm {
    Q_OBJECT

public:
    Q_INVOKABLE explicit TfCouCodeCollateraux(TPickerHost *host);

    QLabel *Label1 = nullptr;
    QComboBox *cbTypeCol = nullptr;
    QListWidget *lstCol = nullptr;

    /// Appends one mode per collateral type, inactive ones included, and selects the
    /// first mode. A read error is shown in the error window; the fixed modes stay.
    void FormCreate();
    /// Inserts the code of the selected mode and field (the mode "Provoquer nouveau
    /// choix" needs no field).
    void lstColDblClick();
    /// Every field in every mode; the new choice once.
    void ListCodes(TCodeEntries &codes) override;
};

// The correspondent picker: the user chooses one of the patient's correspondents (1 to
// 6, or the undetermined "X") and double-clicks a field; the picker hands
// "[C<number> : <field>]" to InsertCode, which wraps it as a merge code. The fields are
// fixed; the picker reads no data.
#pragma once

#include "PickerForm.h"

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;

class TfCouCodeCorresp : public TfPickerForm {
    Q_OBJECT

public:
    Q_INVOKABLE explicit TfCouCodeCorresp(TPickerHost *host);

    QFrame *Panel1 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cbNoCor = nullptr;
    QFrame *Panel2 = nullptr;
    QListWidget *lstCode = nullptr;

    /// Fills lstCode with the correspondent fields.
    void FormCreate();
    /// Inserts the code of the selected correspondent and field; nothing without a
    /// selected field.
    void lstCodeDblClick();
    /// Every field of every correspondent.
    void ListCodes(TCodeEntries &codes) override;
};

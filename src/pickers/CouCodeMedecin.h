// The doctor and user picker: a fixed list of fields, inserted as a field of the
// current doctor ("MR") or of the current user ("MU").
#pragma once

#include "PickerForm.h"

class QFrame;
class QGroupBox;
class QListWidget;
class TLumoRadio;

class TfCouCodeMedecin : public TfPickerForm {
    Q_OBJECT

public:
    Q_INVOKABLE explicit TfCouCodeMedecin(TPickerHost *host);

    QListWidget *lstCodes;
    QGroupBox *GroupBox1;
    TLumoRadio *radioMedecin;
    TLumoRadio *radioUser;
    QFrame *Bevel1;

    void FormCreate();
    void lstCodesDblClick();
};

// The prescription picker: links for the prescription lines, the other information of
// the prescription, the recall of a prescription in a letter, and the general codes.
#pragma once

#include "LinkCodes.h"

class QGroupBox;
class QLabel;

class TfCouCodeOrdo : public TfLinkPickerForm {
    Q_OBJECT

public:
    Q_INVOKABLE explicit TfCouCodeOrdo(TPickerHost *host);

    QGroupBox *GroupBox4, *GroupBox1, *GroupBox2, *GroupBox5;
    TLumoUrl *urlO6, *urlO4, *urlO5, *urlO7, *urlO8;
    QLabel *labelVersion;
};

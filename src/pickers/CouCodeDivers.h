// The miscellaneous picker: date, date and time, glossary, questions put to the user
// when the letter is produced, weeks of amenorrhoea, prescriptions and their recall,
// page numbering, receipt fields, last consultation and synthesis.
#pragma once

#include "LinkCodes.h"

class QGroupBox;
class QLabel;

class TfCouCodeDivers : public TfLinkPickerForm {
    Q_OBJECT

public:
    Q_INVOKABLE explicit TfCouCodeDivers(TPickerHost *host);

    QGroupBox *GroupBox2, *GroupBox1, *GroupBox3, *GroupBox4, *GroupBox5, *GroupBox6, *GroupBox8, *GroupBox7;
    TLumoUrl *urlQuestionZC, *urlQuestionZN, *urlQuestionZD;
    TLumoUrl *urlSASA, *urlSaDdr, *urlSaDdg;
    TLumoUrl *utlNoPage, *urlNbPage;
    TLumoUrl *urlRctDate, *urlRctDates, *urlRctActes, *urlRctMontants;
    TLumoUrl *urlDDC, *urlDDS;
    QLabel *labelVersion;

    void urlQuestionZCClick(TLumoUrl *sender);
    void urlSASAClick(TLumoUrl *sender);
};

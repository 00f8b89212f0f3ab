// The PMSI picker: field codes of a stay's activity record ("PMC:"), option codes that
// tell the letter generator which tab to read and how to lay out acts and diagnoses
// ("PMO:"), and the act and diagnosis codes ("PMA:", "PMD:"). Every choice becomes one
// text handed to InsertCode, which wraps it as "£" + text + "#"; the picker keeps no
// state and reads no data.
#pragma once

#include "PickerForm.h"

class QGroupBox;
class QLabel;
class QListWidget;

class TfCouCodePmsi : public TfPickerForm {
    Q_OBJECT

public:
    Q_INVOKABLE explicit TfCouCodePmsi(TPickerHost *host);

    QListWidget *lstChamps = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    TLumoUrl *urlOnglet0 = nullptr;
    TLumoUrl *urlOnglet1 = nullptr;
    TLumoUrl *urlOnglet2 = nullptr;
    TLumoUrl *urlOnglet3 = nullptr;
    TLumoUrl *urlColonne = nullptr;
    TLumoUrl *urlLigne = nullptr;
    TLumoUrl *urlMode0 = nullptr;
    TLumoUrl *urlMode1 = nullptr;
    TLumoUrl *urlMode2 = nullptr;
    TLumoUrl *urlMode3 = nullptr;
    TLumoUrl *urlPMA = nullptr;
    TLumoUrl *urlPMD = nullptr;
    TLumoUrl *urlDiag1 = nullptr;
    TLumoUrl *urlPMD2 = nullptr;

    /// Inserts "PMC:" + the selected field, blanks as "_" and "é" as "e"; nothing
    /// without a selected field.
    void lstChampsDblClick();
    /// "PMO:" + the link's tag: the record tab (0 patient, 1 to 3 children).
    void urlOnglet0Click(TLumoUrl *sender);
    void urlColonneClick(TLumoUrl *sender);
    void urlLigneClick(TLumoUrl *sender);
    /// "PMO:" + the display mode of the link's tag (complet, code, libelle, muet).
    void urlMode0Click(TLumoUrl *sender);
    void urlPMAClick(TLumoUrl *sender);
    /// "PMD:" + the diagnoses of the link's tag (tous, principal, secondaires).
    void urlPMDClick(TLumoUrl *sender);

private:
    /// Hands `text` to InsertCode; an unexpected error is told, never thrown to Qt.
    void InsertText(const QString &text);
};

// The antecedents picker: the practice's antecedent categories (gAntecedents, created
// and loaded here the first time they are needed) and the option links of the
// antecedent codes. Choosing a category inserts "[ATC" + key + " : " + label + "]"
// (with comments) or "[ATD...]" (without), as the two radios say; each link inserts one
// fixed option code. InsertCode wraps every text as "£" + text + "#".
#pragma once

#include "PickerForm.h"

class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class TLumoRadio;

class TfCouCodeAntecedent : public TfPickerForm {
    Q_OBJECT

public:
    Q_INVOKABLE explicit TfCouCodeAntecedent(TPickerHost *host);

    QListWidget *lstATCD = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QFrame *Bevel1 = nullptr;
    QFrame *Bevel2 = nullptr;
    QFrame *Bevel3 = nullptr;
    TLumoRadio *radioATC = nullptr;
    TLumoRadio *radioATD = nullptr;
    TLumoUrl *urlNomOui = nullptr;
    TLumoUrl *urlNomNon = nullptr;
    TLumoUrl *urlRetourOui = nullptr;
    TLumoUrl *urlRetourNon = nullptr;
    TLumoUrl *urlDateOui = nullptr;
    TLumoUrl *urlDateNon = nullptr;
    TLumoUrl *urlColonne = nullptr;
    TLumoUrl *urlLigne = nullptr;
    TLumoUrl *urlTousAvec = nullptr;
    TLumoUrl *urlTousSans = nullptr;
    TLumoUrl *urlAllergiesCommentaires = nullptr;
    TLumoUrl *urlAllergiesSans = nullptr;

    /// Creates gAntecedents if needed, loads it while it is empty, and lists its
    /// categories in its order.
    void FormShow();
    /// Inserts the code of the selected category; nothing without one.
    void lstATCDDblClick();
    /// The categories (loaded as at showing), then the option links.
    void ListCodes(TCodeEntries &codes) override;

    void urlNomOuiClick(TLumoUrl *sender);
    void urlNomNonClick(TLumoUrl *sender);
    void urlRetourOuiClick(TLumoUrl *sender);
    void urlRetourNonClick(TLumoUrl *sender);
    void urlDateOuiClick(TLumoUrl *sender);
    void urlDateNonClick(TLumoUrl *sender);
    void urlColonneClick(TLumoUrl *sender);
    void urlLigneClick(TLumoUrl *sender);
    void urlTousAvecClick(TLumoUrl *sender);
    void urlTousSansClick(TLumoUrl *sender);
    void urlAllergiesCommentairesClick(TLumoUrl *sender);
    void urlAllergiesSansClick(TLumoUrl *sender);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QFrame *AddBevel(const char *name, const QRect &geometry);
    /// Hands `text` to InsertCode; an unexpected error is shown, never thrown to Qt.
    void InsertText(const QString &text);
};

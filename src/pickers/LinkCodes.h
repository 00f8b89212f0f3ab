// What the link pickers (prescription and miscellaneous) share: the general codes
// (date, date and time, glossary), the codes read from a link's own caption, and the
// form those pickers derive from, which builds the shared links and holds their
// handlers. A click on a link hands its code to the host's InsertCode.
#pragma once

#include "PickerForm.h"

#include <QString>

class QGroupBox;

namespace LinkCodes {

inline const QString DateJour = QStringLiteral("£T: Date du jour#");
inline const QString Maintenant = QStringLiteral("£T: maintenant¤jj/mm/aaaa hh:nn#");
inline const QString Glossaire = QStringLiteral("£ZG: mettre_ici_mnemonique#");

/// The code a caption such as "Insérer £Ord : tout#" stands for: "£" and the text after
/// the caption's first "£" with the letters a to z in capitals ("£ORD : TOUT#").
QString FromCaption(const QString &caption);

} // namespace LinkCodes

class TfLinkPickerForm : public TfPickerForm {
    Q_OBJECT

public:
    using TfPickerForm::TfPickerForm;

    TLumoUrl *urlO1 = nullptr, *urlO2 = nullptr, *urlO3 = nullptr, *urlDDO = nullptr, *urlDCO = nullptr;
    TLumoUrl *urlDateJour = nullptr, *urlMaintenant = nullptr, *urlGlossaire = nullptr;

    /// Inserts the code the link's caption stands for (the prescription and recall links).
    void urlO1Click(TLumoUrl *sender);
    void urlDateJourClick(TLumoUrl *sender);
    void urlMaintenantClick(TLumoUrl *sender);
    void urlGlossaireClick(TLumoUrl *sender);

protected:
    /// A link 150 × 17 at (8, `top`) of `box` whose code is read from its caption.
    TLumoUrl *AddCaptionCodeLink(QWidget *box, const char *name, const QString &caption, const QString &hint, int top);
    /// urlDateJour, urlMaintenant and urlGlossaire, one under the other in `box`.
    void AddGeneralLinks(QGroupBox *box);
};

// Codes shared by the link pickers: the general links (date, date and time, glossary)
// and the codes read from a link's own caption.
#pragma once

#include <QString>

namespace LinkCodes {

inline const QString DateJour = QStringLiteral("£T: Date du jour#");
inline const QString Maintenant = QStringLiteral("£T: maintenant¤jj/mm/aaaa hh:nn#");
inline const QString Glossaire = QStringLiteral("£ZG: mettre_ici_mnemonique#");

/// The code a caption such as "Insérer £Ord : tout#" stands for: "£" and the text after
/// the caption's first "£" with the letters a to z in capitals ("£ORD : TOUT#").
QString FromCaption(const QString &caption);

} // namespace LinkCodes

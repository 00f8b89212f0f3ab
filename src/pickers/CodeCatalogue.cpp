#include "CodeCatalogue.h"

#include "CouCodeAntecedent.h"
#include "CouCodeCollateraux.h"
#include "CouCodeCorresp.h"
#include "CouCodeDivers.h"
#include "CouCodeMedecin.h"
#include "CouCodeOrdo.h"
#include "CouCodePmsi.h"
#include "CouCodeQre.h"
#include "CouCodeSignaletique.h"
#include "CouVariable.h"
#include "support/ErrorMessageBox.h"

#include <QSet>

namespace {

template <class Picker>
void ListCodesOf(TPickerHost *host, TCodeEntries &codes)
{
    RunGuarded(QStringLiteral("CatalogueOfCodes"), [&] {
        Picker picker(host);
        picker.ListCodes(codes);
    });
}

} // namespace

TCodeEntries CatalogueOfCodes(TPickerHost *host)
{
    TCodeEntries all;
    ListCodesOf<TfCouCodeSignaletique>(host, all);
    ListCodesOf<TfCouCodeCollateraux>(host, all);
    ListCodesOf<TfCouCodeQre>(host, all);
    ListCodesOf<TfCouCodeAntecedent>(host, all);
    ListCodesOf<TfCouCodeOrdo>(host, all);
    ListCodesOf<TfCouCodeDivers>(host, all);
    ListCodesOf<TfCouCodeMedecin>(host, all);
    ListCodesOf<TfCouCodeCorresp>(host, all);
    ListCodesOf<TfCouCodePmsi>(host, all);
    ListCodesOf<TfCouVariable>(host, all);

    // Several pickers give the general codes, and a question may sit in several
    // questionnaires: each code is kept where it comes first.
    TCodeEntries unique;
    unique.reserve(all.size());
    QSet<QString> seen;
    for (TCodeEntry &entry : all)
        if (!seen.contains(entry.Code)) {
            seen.insert(entry.Code);
            unique.push_back(std::move(entry));
        }
    return unique;
}

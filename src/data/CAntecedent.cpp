#include "CAntecedent.h"

#include "config/CConnexion.h"
#include "support/ErrorMessageBox.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

TCAntecedents *gAntecedents = nullptr;

namespace {

const QString ChargerLocation = QStringLiteral("TCAntecedents.Charger");

} // namespace

TCAntecedents::TCAntecedents(TCConnexion *connexion)
    : FConnexion(connexion)
{
}

TCAntecedents::~TCAntecedents() = default;

void TCAntecedents::Charger()
{
    FItems.clear();
    TCConnexion *connexion = FConnexion ? FConnexion : gConnexion;
    bool started = false;
    try {
        if (!connexion)
            throw EScrivoError(QStringLiteral("Pas de connexion en cours"));
        started = connexion->StartTransaction(ChargerLocation);
        std::unique_ptr<TCRecordSet> rows;
        if (connexion->OpenRecordSet(QStringLiteral("SELECT * FROM ANT_ANTECEDENT ORDER BY libelle"), rows, 0)) {
            for (; !rows->Eof(); rows->Next()) {
                auto antecedent = std::make_unique<TCAntecedent>();
                antecedent->code_antecedent = NullToInt(rows->FieldValue(QStringLiteral("code_antecedent")));
                antecedent->libelle = NullToStr(rows->FieldValue(QStringLiteral("libelle")));
                FItems.push_back(std::move(antecedent));
            }
            rows.reset();
        }
        connexion->Commit(started);
    } catch (const std::exception &error) {
        ShowErrorMessage(nullptr,
                         QStringLiteral("Erreur au chargement de la librairie des antécédents.\r\nerr : ") + ErrorText(error),
                         ChargerLocation, false);
        if (connexion)
            connexion->Rollback(started);
    }
}

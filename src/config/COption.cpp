#include "COption.h"

#include "CCnxParam.h"
#include "CConnexion.h"
#include "CGRegistry.h"
#include "support/CAppNames.h"
#include "support/ErrorMessageBox.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QScopeGuard>

TCLocaleOption *LocaleOption = nullptr;
TCGlobaleOption *GlobaleOption = nullptr;

namespace {
const QString OptionKey = QStringLiteral("OptionLocale");
const QString GlobaleLocation = QStringLiteral("TCGlobaleOption.Charger");
const QString ChampLibrePrefix = QStringLiteral("CHAMP_LIBRE_");
} // namespace

TCOptionItem::TCOptionItem(qint32 code, const QString &mnemonique, qint32 codeMedecin, qint32 valeurNum,
                           const QString &valeurChaine)
    : Code(code)
    , Mnemonique(mnemonique)
    , CodeMedecin(codeMedecin)
    , ValeurNum(valeurNum)
    , ValeurChaine(valeurChaine)
{
}

TCGlobaleOption::TCGlobaleOption(TCConnexion *connexion)
    : FConnexion(connexion)
{
}

TCGlobaleOption::~TCGlobaleOption() = default;

void TCGlobaleOption::Charger()
{
    GroupeReferant = 0;
    ChampLibreValeur.fill(0);
    ChampLibreLibelle.fill(QString());
    Items.clear();
    TerminationRequested = false;

    TCConnexion *connexion = FConnexion ? FConnexion : gConnexion;
    QString lastMnemonic;
    bool started = false;
    try {
        if (!connexion)
            throw EScrivoError(QStringLiteral("Pas de connexion en cours"));
        started = connexion->StartTransaction(GlobaleLocation);

        std::unique_ptr<TCRecordSet> options;
        if (connexion->OpenRecordSet(
                QStringLiteral("SELECT * FROM OPT_PARAM_MEDECIN WHERE code_medecin = -1 ORDER BY code_param_medecin"),
                options, 0)) {
            for (; !options->Eof(); options->Next()) {
                const QString mnemonic = NullToStr(options->FieldValue(QStringLiteral("mnemonique")));
                lastMnemonic = mnemonic;
                if (mnemonic == QLatin1String("GroupeReferant"))
                    GroupeReferant = NullToInt(options->FieldValue(QStringLiteral("valeur_num")));
                if (mnemonic.startsWith(ChampLibrePrefix)) {
                    // A free field whose row cannot be read is told about; the load goes on.
                    try {
                        const QString index = mnemonic.mid(ChampLibrePrefix.size());
                        if (IsInteger(index)) {
                            const int i = StrToIntDef(index, -1);
                            if (i >= 0 && i < ChampLibreCount) {
                                ChampLibreLibelle[size_t(i)] = NullToStr(options->FieldValue(QStringLiteral("valeur_chaine")));
                                ChampLibreValeur[size_t(i)] = NullToInt(options->FieldValue(QStringLiteral("valeur_num")));
                            }
                        }
                    } catch (const std::exception &error) {
                        ShowErrorMessage(nullptr,
                                         QStringLiteral("Erreur pendant l'analyse du paramètre : ") + mnemonic
                                             + QStringLiteral("\r\n") + QStringLiteral("Err : ") + ErrorText(error),
                                         GlobaleLocation, false);
                    }
                }
                Items.push_back(std::make_unique<TCOptionItem>(
                    NullToInt(options->FieldValue(QStringLiteral("code_param_medecin"))), mnemonic, -1,
                    NullToInt(options->FieldValue(QStringLiteral("valeur_num")), -1),
                    NullToStr(options->FieldValue(QStringLiteral("valeur_chaine")))));
            }
            options.reset();
        }

        if (GroupeReferant < 1) {
            // No explicit default: the doctor group with the smallest code.
            std::unique_ptr<TCRecordSet> group;
            if (connexion->OpenRecordSet(
                    QStringLiteral("SELECT min( code_groupe ) as valeur FROM GLB_GROUPE WHERE est_medecin = -1"), group, 0))
                GroupeReferant = NullToInt(group->FieldValue(QStringLiteral("valeur")));
        }
        connexion->Commit(started);

        if (GroupeReferant < 1) {
            MsgBox(nullptr,
                   QStringLiteral("Impossible de déterminer le groupe par défaut.\r\nLe lancement de Talvor est impossible."),
                   QStringLiteral("*APP*"), mfOk);
            TerminationRequested = true;
            RequestApplicationTermination();
        }
    } catch (const std::exception &error) {
        ShowErrorMessage(nullptr,
                         QStringLiteral("Erreur au chargement des options globales.\r\nDernière traitée < ") + lastMnemonic
                             + QStringLiteral(">") + QStringLiteral("\r\n") + QStringLiteral("err : ") + ErrorText(error),
                         GlobaleLocation, false);
        if (connexion)
            connexion->Rollback(started);
    }
}

TCLocaleOption::TCLocaleOption(const TCAppNames &names)
    : FNames(&names)
{
    TCGRegistry registry(names.Company, names.Family, 2);
    const auto closeKeys = qScopeGuard([&registry] { registry.CloseKeys(); });
    registry.OpenBaseKeys();
    RegistryMode = registry.ReadIntegerValue(QStringLiteral("cnxregmode"), 0, TCGRegistry::LocalRoot) != 0
        ? TCGRegistry::UserRoot
        : TCGRegistry::LocalRoot;
}

bool TCLocaleOption::ReadBoolOption(const QString &Name, bool Default)
{
    TCGRegistry registry(FNames->Company, FNames->Family, 2);
    registry.OpenBaseKeys();
    registry.OpenSubKey(OptionKey, RegistryMode);
    return registry.ReadIntegerValue(Name, Default ? -1 : 0, RegistryMode) == -1;
}

QString TCLocaleOption::ReadStringOption(const QString &Name, const QString &Default)
{
    TCGRegistry registry(FNames->Company, FNames->Family, 2);
    registry.OpenBaseKeys();
    registry.OpenSubKey(OptionKey, RegistryMode);
    return registry.ReadStringValue(Name, Default, RegistryMode);
}

void TCLocaleOption::LoadOptions()
{
    FWPNom = ReadStringOption(QStringLiteral("WPNom"), QString());
    FWPPath = FWPNom.isEmpty() ? QString() : ReadStringOption(QStringLiteral("WPPath"), QString());

    FWPAutreOrdo = ReadBoolOption(QStringLiteral("WPAutreOrdo"), false);
    if (FWPAutreOrdo) {
        FWPOrdoNom = ReadStringOption(QStringLiteral("WPOrdoNom"), QString());
        FWPOrdoPath = FWPOrdoNom.isEmpty() ? QString() : ReadStringOption(QStringLiteral("WPOrdoPath"), QString());
    }

    FWPAutreModele = ReadBoolOption(QStringLiteral("WPAutreModele"), false);
    if (FWPAutreModele) {
        FWPModeleNom = ReadStringOption(QStringLiteral("WPModeleNom"), QString());
        FWPModelePath = FWPModeleNom.isEmpty() ? QString() : ReadStringOption(QStringLiteral("WPModelePath"), QString());
    }
    Loaded = true;
}

void TCLocaleOption::EnsureLoaded()
{
    if (!Loaded)
        LoadOptions();
}

QString TCLocaleOption::WPPath()
{
    EnsureLoaded();
    return FWPPath;
}

bool TCLocaleOption::WPAutreOrdo()
{
    EnsureLoaded();
    return FWPAutreOrdo;
}

QString TCLocaleOption::WPOrdoPath()
{
    EnsureLoaded();
    return FWPOrdoPath;
}

bool TCLocaleOption::WPAutreModele()
{
    EnsureLoaded();
    return FWPAutreModele;
}

QString TCLocaleOption::WPModelePath()
{
    EnsureLoaded();
    return FWPModelePath;
}

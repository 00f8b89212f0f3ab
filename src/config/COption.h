// Option sets. The workstation options (TCLocaleOption) say which word processor opens
// documents, and whether templates and prescriptions open with other programs; they
// live in the registry key "OptionLocale" under the root that "cnxregmode" selects and
// are read on first use, each value through a store of its own. The practice-wide
// options (TCGlobaleOption) are the rows of OPT_PARAM_MEDECIN that belong to no doctor
// (code_medecin -1), read once at start-up: the default doctor group, which the program
// cannot run without, and the labels and values of the fifteen free identity fields.
#pragma once

#include <QString>

#include <array>
#include <memory>
#include <vector>

class TCAppNames;
class TCConnexion;

/// One row of the practice-wide option table, kept as read.
class TCOptionItem {
public:
    TCOptionItem() = default;
    TCOptionItem(qint32 code, const QString &mnemonique, qint32 codeMedecin, qint32 valeurNum,
                 const QString &valeurChaine);

    qint32 Code = 0;          ///< code_param_medecin
    QString Mnemonique;       ///< mnemonique
    qint32 CodeMedecin = -1;  ///< owner of the option: -1 for the practice-wide rows read here
    qint32 ValeurNum = -1;    ///< valeur_num, -1 when NULL
    QString ValeurChaine;     ///< valeur_chaine, empty when NULL
};

class TCGlobaleOption {
public:
    /// Number of free identity fields (indices 0 to 14).
    static constexpr int ChampLibreCount = 15;

    /// Reads through `connexion` (not owned), or through gConnexion as it is when
    /// Charger runs when none is given.
    explicit TCGlobaleOption(TCConnexion *connexion = nullptr);
    ~TCGlobaleOption();
    TCGlobaleOption(const TCGlobaleOption &) = delete;
    TCGlobaleOption &operator=(const TCGlobaleOption &) = delete;

    /// Reads the practice-wide options. Errors are shown in the error window and what was
    /// read stays; without a default doctor group the user is told and the application
    /// is asked to end (TerminationRequested is then set).
    void Charger();

    /// The default doctor group; 0 until loaded.
    qint32 GroupeReferant = 0;
    std::array<qint32, ChampLibreCount> ChampLibreValeur{};
    std::array<QString, ChampLibreCount> ChampLibreLibelle;
    /// Every option row read, in the order of code_param_medecin.
    std::vector<std::unique_ptr<TCOptionItem>> Items;
    /// Set when Charger found no default doctor group and asked the application to end.
    bool TerminationRequested = false;

private:
    TCConnexion *FConnexion;
};

class TCLocaleOption {
public:
    /// Reads "cnxregmode" to choose the registry root (raises EGRegException when it
    /// cannot be read). `names` must outlive this object.
    explicit TCLocaleOption(const TCAppNames &names);

    /// 0: the user's root, 1: the machine's.
    int RegistryMode = 1;
    /// False until LoadOptions has run to its end.
    bool Loaded = false;

    /// Reads the word-processor options. A missing "OptionLocale" key or a value of the
    /// wrong kind raises EGRegException and leaves Loaded false.
    void LoadOptions();
    /// The integer value `Name` of "OptionLocale": true only when it is -1.
    bool ReadBoolOption(const QString &Name, bool Default);
    /// The text value `Name` of "OptionLocale".
    QString ReadStringOption(const QString &Name, const QString &Default);

    // Each getter loads the options first when they are not loaded yet.
    QString WPPath();
    bool WPAutreOrdo();
    QString WPOrdoPath();
    bool WPAutreModele();
    QString WPModelePath();

private:
    void EnsureLoaded();

    const TCAppNames *FNames;
    QString FWPNom;
    QString FWPPath;
    bool FWPAutreOrdo = false;
    QString FWPOrdoNom;
    QString FWPOrdoPath;
    bool FWPAutreModele = false;
    QString FWPModeleNom;
    QString FWPModelePath;
};

/// The workstation options of the process, created by the program entry (and by tests).
extern TCLocaleOption *LocaleOption;
/// The practice-wide options of the process, created by the program entry and loaded
/// by the start-up sequence once connected.
extern TCGlobaleOption *GlobaleOption;

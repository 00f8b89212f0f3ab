// Option sets. The workstation options (TCLocaleOption) say which word processor opens
// documents, and whether templates and prescriptions open with other programs; they
// live in the registry key "OptionLocale" under the root that "cnxregmode" selects and
// are read on first use, each value through a store of its own. The practice-wide
// options, kept in the database, join them here once the connection exists.
#pragma once

#include <QString>

class TCAppNames;

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

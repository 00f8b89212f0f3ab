#include "COption.h"

#include "CGRegistry.h"
#include "app/CAppNames.h"

#include <QScopeGuard>

TCLocaleOption *LocaleOption = nullptr;

namespace {
const QString OptionKey = QStringLiteral("OptionLocale");
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

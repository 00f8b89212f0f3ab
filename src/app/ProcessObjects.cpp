#include "ProcessObjects.h"

#include "CAppNames.h"
#include "config/COption.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

TCProcessObjects::TCProcessObjects()
{
    StringManager = new TStringManager;
    AppNames = new TCAppNames;
    try {
        LocaleOption = new TCLocaleOption(*AppNames);
    } catch (const EScrivoError &error) {
        // Without workstation options, documents open with the desktop's default
        // application.
        MsgBox(nullptr, error.Message(), QStringLiteral("*APP*"), mfOk);
    }
}

TCProcessObjects::~TCProcessObjects()
{
    delete LocaleOption;
    LocaleOption = nullptr;
    delete AppNames;
    AppNames = nullptr;
    delete StringManager;
    StringManager = nullptr;
}

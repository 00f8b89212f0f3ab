#include "ProcessObjects.h"

#include "config/CCnxParam.h"
#include "config/CConnexion.h"
#include "config/COption.h"
#include "config/CReferences.h"
#include "data/CMedecin.h"
#include "data/CQuestion.h"
#include "support/CAppNames.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

TCProcessObjects::TCProcessObjects()
{
    StringManager = new TStringManager;
    AppNames = new TCAppNames;
    try {
        gConnexion = new TCConnexion(std::make_unique<TCCnxParam>(*AppNames));
    } catch (const EScrivoError &error) {
        // The registry cannot be read: the start-up then ends the program.
        MsgBox(nullptr, error.Message(), QStringLiteral("*APP*"), mfOk);
    }
    try {
        LocaleOption = new TCLocaleOption(*AppNames);
    } catch (const EScrivoError &error) {
        // Without workstation options, documents open with the desktop's default
        // application.
        MsgBox(nullptr, error.Message(), QStringLiteral("*APP*"), mfOk);
    }
    // Reads through gConnexion once the start-up sequence has connected it.
    GlobaleOption = new TCGlobaleOption;
    gQuestionCache = new TCQuestionCache;
    gQuestionnaireCache = new TCQuestionnaireCache;
}

TCProcessObjects::~TCProcessObjects()
{
    // Created by the start-up sequence; freed here, once the event loop has returned,
    // so that nothing still running can meet them freed.
    delete gMedecins;
    gMedecins = nullptr;
    delete gReferences;
    gReferences = nullptr;
    delete gQuestionnaireCache;
    gQuestionnaireCache = nullptr;
    delete gQuestionCache;
    gQuestionCache = nullptr;
    delete GlobaleOption;
    GlobaleOption = nullptr;
    delete LocaleOption;
    LocaleOption = nullptr;
    delete gConnexion;
    gConnexion = nullptr;
    delete AppNames;
    AppNames = nullptr;
    delete StringManager;
    StringManager = nullptr;
}

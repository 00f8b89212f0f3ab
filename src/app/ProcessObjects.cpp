#include "ProcessObjects.h"

#include "CAppNames.h"
#include "support/StrMan.h"

TCProcessObjects::TCProcessObjects()
{
    StringManager = new TStringManager;
    AppNames = new TCAppNames;
}

TCProcessObjects::~TCProcessObjects()
{
    delete AppNames;
    AppNames = nullptr;
    delete StringManager;
    StringManager = nullptr;
}

#include "CAppNames.h"

TCAppNames *AppNames = nullptr;

// What a test may leave in the process globals: the lists that the start-up sequence,
// the pickers or the test itself create there, and a connection of its own in
// gConnexion. Header only: freeing the lists reaches the data layer, which only the tests
// that create them link.
#pragma once

#include "config/CConnexion.h"
#include "config/CReferences.h"
#include "data/CAntecedent.h"
#include "data/CMedecin.h"
#include "data/CQuestion.h"

/// Frees the lists left in the process globals, the last created first, and forgets
/// gConnexion. Called once the process objects, which free their own, are gone.
inline void FreeLeftGlobals()
{
    delete gAntecedents;
    gAntecedents = nullptr;
    delete gReferences;
    gReferences = nullptr;
    delete gMedecins;
    gMedecins = nullptr;
    delete gQuestionCache;
    gQuestionCache = nullptr;
    gConnexion = nullptr;
}

// Every code the pickers give, gathered for the search over every category: each
// picker, created for the host as its category button would, lists its own codes
// (TfPickerForm::ListCodes), in the order of the button column. Reads the practice
// data the pickers read, so it is built on first use, never during the start-up.
#pragma once

#include "CodeEntry.h"

class TPickerHost;

/// The codes of every picker for `host`, each code once (where it is first found).
TCodeEntries CatalogueOfCodes(TPickerHost *host);

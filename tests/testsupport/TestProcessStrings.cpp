#include "TestProcessStrings.h"

#include "support/StrMan.h"

TestProcessStrings::TestProcessStrings()
    : FStrings(std::make_unique<TStringManager>())
    , FPrevious(StringManager)
{
    StringManager = FStrings.get();
}

TestProcessStrings::~TestProcessStrings()
{
    StringManager = FPrevious;
}

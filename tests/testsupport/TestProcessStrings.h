// The process's string manager for the lifetime of a test object or scope: the string
// utilities, the message texts and the connection all go through StringManager.
#pragma once

#include <memory>

class TStringManager;

/// Creates StringManager for the scope and gives back the one it found when it ends.
class TestProcessStrings {
public:
    TestProcessStrings();
    ~TestProcessStrings();
    TestProcessStrings(const TestProcessStrings &) = delete;
    TestProcessStrings &operator=(const TestProcessStrings &) = delete;

private:
    std::unique_ptr<TStringManager> FStrings;
    TStringManager *FPrevious;
};

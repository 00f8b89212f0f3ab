// A test whose fixture (a practice database, the X display) is missing skips, so that a
// single test run by hand works anywhere. scripts/test starts every fixture and sets
// SCRIVO_REQUIRE_FIXTURES: there a missing fixture is a fault of the run, and fails.
#pragma once

#include <QString>
#include <QTest>

inline bool FixturesRequired()
{
    return qEnvironmentVariableIsSet("SCRIVO_REQUIRE_FIXTURES");
}

/// Skips the current test for `reason`, or fails it when every fixture is required.
#define SCRIVO_SKIP_WITHOUT_FIXTURE(reason)                                                        \
    do {                                                                                           \
        const QString missingFixture = (reason);                                                   \
        if (FixturesRequired())                                                                    \
            QFAIL(qPrintable(missingFixture + QStringLiteral(" (every fixture is required)")));    \
        QSKIP(qPrintable(missingFixture));                                                         \
    } while (false)

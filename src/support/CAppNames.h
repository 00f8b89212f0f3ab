// The application's names: the segments of its registry paths, the name of the central
// parameter file, its version, and the application name shown to the user.
#pragma once

#include <QString>

class TCAppNames {
public:
    QString Company = QStringLiteral("Keldar");
    QString Family = QStringLiteral("Talvor");
    QString ParamFileName = QStringLiteral("talvor.ini");
    QString Version = QStringLiteral("6.0");
    /// Set to the tool's own name by the start-up sequence.
    QString ApplicationName = QStringLiteral("Special");
};

/// The process-wide name holder, created by the program entry (and by tests).
extern TCAppNames *AppNames;

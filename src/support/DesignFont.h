// The fonts the windows are designed with, mapped to installed fonts of close metrics.
#pragma once

#include <QFont>

/// `family` at `pixelSize` ("MS Sans Serif" 8 points is 11 pixels high). The Windows
/// design fonts stand for Liberation Sans (same widths as Arial), else a condensed sans.
QFont DesignFont(const QString &family = QStringLiteral("MS Sans Serif"), int pixelSize = 11);

#include "DesignFont.h"

#include <QStringList>

QFont DesignFont(const QString &family, int pixelSize)
{
    static const bool substituted = [] {
        const QStringList replacements = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed")};
        for (const char *windowsFont : {"MS Sans Serif", "Tahoma"})
            QFont::insertSubstitutions(QLatin1String(windowsFont), replacements);
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}

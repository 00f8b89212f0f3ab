// Helpers of the fuzz targets: the input cut into texts at newlines, and the process's
// string manager.
#pragma once

#include "support/StrMan.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

inline QStringList FuzzTexts(const std::uint8_t *data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).split(QLatin1Char('\n'));
}

inline void EnsureStringManager()
{
    static TStringManager strings;
    StringManager = &strings;
}

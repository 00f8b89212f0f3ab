// The template variables file: any bytes on disk read as text and split into lines, none
// of which holds a line break.
#include "CBinaryFile.h"
#include "FuzzInput.h"

#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    EnsureStringManager();
    static QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("variables.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    try {
        for (const QString &line : TextLines(ReadTextFile(path)))
            if (line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r')))
                std::abort();
    } catch (const EScrivoError &) {
    }
    return 0;
}

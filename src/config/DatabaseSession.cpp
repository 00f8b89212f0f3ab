// The text codec of the connection's character set (see DatabaseSession.h): Windows-1252
// byte by byte, UTF-8 through Qt.
#include "DatabaseSession.h"

#include <array>

namespace {

// Windows-1252 characters of the bytes 0x80 to 0x9F; the five unassigned bytes stand for
// the C1 controls of the same value, as Windows maps them.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString FromWindows1252(const std::string &bytes)
{
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte <= 0x9F) ? QChar(Windows1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

std::string ToWindows1252(const QString &text)
{
    std::string bytes;
    bytes.reserve(size_t(text.size()));
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            bytes += char(code);
            continue;
        }
        char byte = '?';
        for (size_t i = 0; i < Windows1252High.size(); ++i) {
            if (Windows1252High[i] == code) {
                byte = char(0x80 + i);
                break;
            }
        }
        bytes += byte;
    }
    return bytes;
}

} // namespace

QString DecodeText(const std::string &bytes, TCConnectionSettings::TextCodec codec)
{
    return codec == TCConnectionSettings::TextCodec::Utf8 ? QString::fromUtf8(bytes.data(), qsizetype(bytes.size()))
                                                          : FromWindows1252(bytes);
}

std::string EncodeText(const QString &text, TCConnectionSettings::TextCodec codec)
{
    return codec == TCConnectionSettings::TextCodec::Utf8 ? text.toStdString() : ToWindows1252(text);
}

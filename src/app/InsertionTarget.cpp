#include "InsertionTarget.h"

#include "support/StrMan.h"
#include "support/WinTools.h"

#include <cstdint>
#include <optional>

namespace {

// The longest title a search reads, as GetWindowTextA gave it.
constexpr int MaxTitleLength = 79;

QString LowerAscii(QString text)
{
    for (QChar &c : text)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return text;
}

// A window handle as the command line writes it: a 32-bit value (an integer as the
// program reads integers, or a decimal up to 4294967295). On 64-bit Windows a window
// handle is the sign extension of its 32 bits, so that "-2147483000" and "2147484296"
// name the same window, as GetForegroundWindow() returns it.
std::optional<platform::WindowHandle> HandleFromText(const QString &text)
{
    std::int32_t bits = 0;
    bool unsignedOk = false;
    const qulonglong unsignedValue = text.toULongLong(&unsignedOk, 10);
    if (IsInteger(text))
        bits = StrToIntDef(text, 0);
    else if (unsignedOk && unsignedValue <= UINT32_MAX)
        bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(unsignedValue));
    else
        return std::nullopt;
    return static_cast<platform::WindowHandle>(static_cast<std::int64_t>(bits));
}

} // namespace

TInsertionTarget::TInsertionTarget(const QString &descriptor) : Descriptor(descriptor), Title(descriptor)
{
    const QString value = StringManager->After(QStringLiteral("="), descriptor);
    if (StringManager->Lower(StringManager->Left(descriptor, 6)) == QLatin1String("-hwnd=")) {
        Title.clear();
        const std::optional<platform::WindowHandle> handle = HandleFromText(value);
        Kind = handle ? TKind::Handle : TKind::BadHandle;
        Handle = handle.value_or(0);
    } else if (StringManager->Lower(StringManager->Left(descriptor, 5)) == QLatin1String("-app=")) {
        Title = value;
    }
    // "Dr.Martin.docx" is "Dr.Martin" without its extension, not "Dr".
    const qsizetype dot = Title.lastIndexOf(u'.');
    TitleWithoutExtension = dot < 0 ? Title : Title.left(dot);
}

int TInsertionTarget::TitleMatch(const QString &windowTitle) const
{
    // An empty name would match the first window of the desktop, whatever it is.
    if (Kind != TKind::Title || Title.isEmpty())
        return -1;
    if (windowTitle == Title)
        return 0;
    const QString title = LowerAscii(windowTitle.left(MaxTitleLength));
    const QString names[] = {LowerAscii(Title), LowerAscii(TitleWithoutExtension)};
    int best = -1;
    for (const QString &name : names) {
        if (name.isEmpty())
            continue;
        if (title.startsWith(name))
            return 1;
        if (title.contains(name))
            best = 2;
    }
    return best;
}

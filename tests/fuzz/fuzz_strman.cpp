// SplitText and the string manager's extraction functions: the input's first byte picks
// positions, its lines are the text, the pattern and the separators.
#include "FuzzInput.h"
#include "support/WinTools.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    EnsureStringManager();
    const TStringManager &sm = *StringManager;
    const int n = int(std::int8_t(data[0]));
    const QStringList parts = FuzzTexts(data + 1, size - 1);
    const QString text = parts.value(0), sub = parts.value(1), other = parts.value(2);
    QStringList list;
    SplitText(text, sub, list, n & 1, n & 2);
    SplitText(text, sub.left(1), list, false, false);
    sm.Left(text, n);
    sm.Right(text, n);
    sm.MidFrom(text, n);
    sm.PosFrom(sub, text, n);
    sm.PosFromText(sub, text, n);
    sm.After(sub, text, n);
    sm.AfterText(sub, text, n);
    sm.Before(sub, text, n);
    sm.TrimBlank(text, n & 1);
    sm.CollapseBlanks(text, n & 2);
    sm.ReplaceChar(sub.isEmpty() ? QChar() : sub.at(0), QLatin1Char('x'), text, n & 4);
    sm.Replace(sub, other, text, n & 7);
    sm.Replace(sub, other, text, n & 7, parts.value(3));
    sm.StartsWith(sub, text, n & 1);
    sm.RemovePrefix(sub, text, n & 1);
    return 0;
}

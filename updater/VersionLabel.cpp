// The version name as the question shows it.
#include "updater/VersionLabel.h"

namespace {

bool isControl(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Line and paragraph separators, and the marks, embeddings, overrides and isolates that change
// the direction in which the text around them is shown.
bool isLayoutCharacter(wchar_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

} // namespace

std::wstring VersionLabel::forQuestion(const std::wstring& name)
{
    std::wstring label;
    for (wchar_t c : name) {
        if (!isControl(c) && !isLayoutCharacter(c))
            label += c;
    }
    if (label.size() <= maxLength)
        return label;
    const std::wstring ellipsis = L"...";
    size_t keep = maxLength - ellipsis.size();
    // Never split a character made of two UTF-16 units.
    if (isHighSurrogate(label[keep - 1]))
        --keep;
    return label.substr(0, keep) + ellipsis;
}

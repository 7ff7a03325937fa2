// libFuzzer entry for the version label (the input as UTF-16): it never holds a control character,
// a line or paragraph separator or a character that changes the direction of text, it is at most
// 64 characters long, and it is the name without those characters, whole or cut before "...",
// where a cut never parts the two halves of a surrogate pair.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/FuzzInput.h"
#include "updater/VersionLabel.h"

using FuzzInput::require;

namespace {

// Unicode's Bidi_Control characters, its line and paragraph separators, and C0 and C1 controls.
bool isUnsafe(wchar_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F || c == 0x2028 ||
           c == 0x2029 || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool isHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::wstring name = FuzzInput::bytesAsUtf16(data, size);
    const std::wstring label = VersionLabel::forQuestion(name);
    require(label.size() <= 64, "the label is at most 64 characters long");
    for (wchar_t c : label)
        require(!isUnsafe(c), "the label holds no control, separator or direction character");

    std::wstring safe;
    for (wchar_t c : name) {
        if (!isUnsafe(c))
            safe += c;
    }
    if (safe.size() <= 64) {
        require(label == safe, "a short name is kept whole");
        return 0;
    }
    const std::wstring ellipsis = L"...";
    require(label.size() > ellipsis.size() && label.compare(label.size() - 3, 3, ellipsis) == 0,
            "a long name ends in ...");
    const std::wstring kept = label.substr(0, label.size() - 3);
    require(safe.compare(0, kept.size(), kept) == 0, "a long name is cut, not changed");
    require(kept.size() >= 60, "a cut keeps all it can");
    require(!(isHigh(safe[kept.size() - 1]) && isLow(safe[kept.size()])), "a cut never parts a surrogate pair");
    require(kept.size() == 61 || isHigh(safe[60]), "only a surrogate's first half moves the cut");
    return 0;
}

// Caption text.
#include "videoplayer/app/Caption.h"

namespace {

const wchar_t ellipsis = L'\x2026';

bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Fits `name` into `room` characters by replacing its middle with an ellipsis. A character
// outside the BMP is two code units: a cut between them would leave half a character on either
// side of the ellipsis, so such a pair goes whole into the ellipsis instead.
std::wstring shortenMiddle(const std::wstring& name, size_t room)
{
    if (name.size() <= room)
        return name;
    if (room == 0)
        return std::wstring();
    const size_t kept = room - 1;
    size_t head = (kept + 1) / 2, tail = kept - head;
    if (head > 0 && isHighSurrogate(name[head - 1]))
        --head;
    if (tail > 0 && isLowSurrogate(name[name.size() - tail]))
        --tail;
    return name.substr(0, head) + ellipsis + name.substr(name.size() - tail);
}

std::wstring withName(const std::wstring& title, const std::wstring& name, const std::wstring& rest)
{
    const std::wstring prefix = title + L" - ";
    const size_t fixed = prefix.size() + rest.size();
    if (fixed >= maxCaptionLength)
        return (prefix + rest).substr(0, maxCaptionLength);
    return prefix + shortenMiddle(name, maxCaptionLength - fixed) + rest;
}

} // namespace

std::wstring composeCaption(const std::wstring& title)
{
    return title.substr(0, maxCaptionLength);
}

std::wstring composeCaption(const std::wstring& title, const std::wstring& name)
{
    return withName(title, name, std::wstring());
}

std::wstring composeCaption(const std::wstring& title, const std::wstring& name, const std::wstring& position,
                            const std::wstring& length)
{
    return withName(title, name, L" | " + position + L" | " + length);
}

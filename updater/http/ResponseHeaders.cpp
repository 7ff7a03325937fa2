// The response header block read into the HTTP client's charset, length, location and cookies.
#include "updater/http/ResponseHeaders.h"

#include <vector>

#include "updater/DecimalText.h"
#include "updater/regex/CollectMatches.h"

namespace {

std::wstring withoutBlanks(const std::wstring& text, const wchar_t* blanks)
{
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The first capture of `pattern` in `text`, or false when there is none.
bool firstCapture(const wchar_t* pattern, const std::wstring& text, std::wstring& capture)
{
    std::vector<std::wstring> found;
    if (!collectMatches(pattern, text, found) || found.empty())
        return false;
    capture = found.front();
    return true;
}

// A run of decimal digits as a length; lengths that don't fit count as unknown (0).
int32_t lengthValue(const std::wstring& digits)
{
    uint64_t value = 0;
    return DecimalText::parseWhole(digits, INT32_MAX, value) ? static_cast<int32_t>(value) : 0;
}

void collectCookies(const std::wstring& headers, std::wstring& receivedCookies)
{
    std::vector<std::wstring> found;
    collectMatches(L"Set-Cookie:\\b*{.+?}\\n", headers, found);
    bool first = true;
    for (const std::wstring& cookie : found) {
        // A header with an empty value lets ".+?" take its line break, and where lines end in a
        // bare LF the next line too: that is no cookie, and a line break must never reach a
        // cookie string that a caller may send back in a header of its own.
        if (cookie.find_first_of(L"\r\n") != std::wstring::npos)
            continue;
        if (!first)
            receivedCookies += L"; ";
        receivedCookies += cookie;
        first = false;
    }
    receivedCookies = withoutBlanks(receivedCookies, L" ");
    if (!receivedCookies.empty() && receivedCookies.back() != L';')
        receivedCookies += L';';
}

}  // namespace

void evaluateResponseHeaders(const std::wstring& headers, bool takeCharset, std::wstring& charset,
                             int32_t& contentLength, std::wstring& location, std::wstring& receivedCookies)
{
    std::wstring value;
    if (takeCharset && firstCapture(L"charset={[A-Za-z0-9\\-_]+}", headers, value))
        charset = value;
    if (firstCapture(L"Content-Length: {[0-9]+}", headers, value))
        contentLength = lengthValue(value);
    // Only at the start of a line, so that Content-Location is not taken for it.
    if (firstCapture(L"\\nLocation:\\b*{[^\r\n]*}", headers, value))
        location = withoutBlanks(value, L" \t");
    collectCookies(headers, receivedCookies);
}

// Which addresses and redirects an installer download accepts.
#include "updater/RedirectRule.h"

namespace {

bool startsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

} // namespace

RedirectRule::Scheme RedirectRule::schemeOf(std::wstring_view url)
{
    if (startsWithIgnoringCase(url, L"http://"))
        return Scheme::http;
    if (startsWithIgnoringCase(url, L"https://"))
        return Scheme::https;
    return Scheme::other;
}

bool RedirectRule::mayFetch(Scheme scheme) { return scheme == Scheme::http || scheme == Scheme::https; }

bool RedirectRule::mayFollow(Scheme from, Scheme to)
{
    return mayFetch(to) && !(from == Scheme::https && to == Scheme::http);
}

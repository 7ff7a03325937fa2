// RedirectRule: which addresses an installer download may fetch and which redirects it may follow.
#pragma once

#include <string_view>

struct RedirectRule {
    enum class Scheme { http, https, other };

    // More than this many redirects in one download is a loop or a server playing games.
    static const int maxRedirects = 5;

    // By the URL's start, letter case ignored.
    static Scheme schemeOf(std::wstring_view url);
    // The schemes a download fetches at all: http and https.
    static bool mayFetch(Scheme scheme);
    // A redirect from `from` to `to`: only to a scheme the download fetches, and never from a
    // secure address down to an insecure one, where anybody on the path could swap the file.
    static bool mayFollow(Scheme from, Scheme to);
};

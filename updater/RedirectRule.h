// RedirectRule: which addresses an installer download may fetch and which redirects it may follow.
#pragma once

#include <string_view>

struct RedirectRule {
    enum class Scheme { http, https, other };

    // More than this many redirects in one download is a loop or a server playing games.
    static const int maxRedirects = 5;

    // By the URL's start, letter case ignored.
    static Scheme schemeOf(std::wstring_view url);
    // The schemes a download fetches at all. Only plain http today: the job makes no secure
    // requests, and an https address sent as plain http would leave in the clear.
    static bool mayFetch(Scheme scheme);
    // A redirect from `from` to `to`: only to a scheme the download fetches, and never from a
    // secure address down to an insecure one, so that fetching https needs only mayFetch to say
    // yes to it.
    static bool mayFollow(Scheme from, Scheme to);
};

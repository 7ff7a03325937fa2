// ProxyLookup: the proxy for one URL from the proxy script the user's settings name, worked out
// on a thread of its own so that the caller can stop waiting for it when its time is up.
#pragma once

#include <cstdint>
#include <string>

#include "updater/http/HttpTransport.h"

struct ProxyLookup {
    // Looks up the proxy for `url`, with the script at `autoConfigUrl`. Waits at most
    // `timeoutMs` (0: as long as the lookup takes), then gives up with HttpTransport's time-out
    // error; the lookup goes on to its end by itself, holding nothing of the caller's. 0 when a
    // proxy was found (in `proxy`), else the system error code.
    static uint32_t run(const std::wstring& url, const std::wstring& autoConfigUrl, uint32_t timeoutMs,
                        HttpTransport::ProxyInfo& proxy);
};

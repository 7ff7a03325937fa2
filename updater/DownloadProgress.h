// The stages at which a download reports to its callback, and the percentage shown for it.
#pragma once

#include <cstdint>

struct DownloadProgress {
    // Stage numbers handed to a download's callback.
    enum Stage { statusRead = 1, connecting = 2, length = 3, data = 4 };

    // received x 100 / total in whole percent, at most 100, without overflow for any size;
    // -1 when no total is known.
    static int percent(uint32_t received, uint32_t total);
};

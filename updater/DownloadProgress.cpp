// The percentage shown for a download.
#include "updater/DownloadProgress.h"

int DownloadProgress::percent(uint32_t received, uint32_t total)
{
    if (total == 0)
        return -1;
    const uint64_t value = static_cast<uint64_t>(received) * 100 / total;
    return value > 100 ? 100 : static_cast<int>(value);
}

// InstallerStatement: the exact bytes a publisher signs for an update installer. They bind the
// installer's bytes to the product and the version code the update server offers it as, so a
// signed installer can't be offered again as another product's or as a newer version.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct InstallerStatement {
    using Digest = std::array<uint8_t, 32>;  // SHA-256

    // The UTF-8 bytes "tellanupdate signed installer 1" LF, the product identifier LF, the
    // version code in plain decimal ("-" before a negative one) LF, the installer's SHA-256 in
    // 64 lower-case hex digits LF; scripts/sign-update.sh writes the same. False (and nothing
    // written) when the product identifier is empty, holds a line break, or is not valid UTF-16,
    // since no signature could then name it unambiguously.
    static bool compose(const std::wstring& productId, int32_t versionCode, const Digest& installerDigest,
                        std::string& statement);
};

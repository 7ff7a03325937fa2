// SignatureVerifier: checks a publisher's ECDSA P-256 / SHA-256 signature of an installer's
// statement (InstallerStatement: product, version code and the installer's SHA-256) against the
// publisher's public key, with the system's CNG.
#pragma once

#include <windows.h>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "common/CngHandles.h"

class SignatureVerifier {
public:
    // A verifier for a key given as base64 of its DER SubjectPublicKeyInfo (what
    // `openssl ec -pubout -outform DER | base64 -w0` prints); null when the text is not a
    // P-256 public key or the system refuses it.
    static std::unique_ptr<SignatureVerifier> fromPublicKey(const std::wstring& base64Key);

    // True when `base64Signature` (base64 of a DER ECDSA signature) signs the statement that
    // `file` is the installer of version `versionCode` of `productId`. The file is hashed from its
    // start through this very handle, so that what is checked is what the holder of the handle
    // goes on to use. Moves the handle's file pointer.
    bool verifyInstaller(HANDLE file, const std::wstring& productId, int32_t versionCode,
                         const std::wstring& base64Signature) const;

private:
    using Digest = std::array<uint8_t, 32>;

    SignatureVerifier(UniqueCngAlgorithm algorithm, UniqueCngKey key);
    static bool hashFile(HANDLE file, Digest& digest);
    static bool hashBytes(const std::string& bytes, Digest& digest);

    UniqueCngAlgorithm algorithm_;
    UniqueCngKey key_;
};

// ECDSA P-256 / SHA-256 signatures of installer statements, checked with CNG.
#include "updater/SignatureVerifier.h"

#include <cstring>
#include <vector>

#include "updater/Base64.h"
#include "updater/EcdsaEncoding.h"
#include "updater/InstallerStatement.h"

namespace {

const NTSTATUS statusSuccess = 0;
const DWORD readChunkBytes = 64 * 1024;

} // namespace

SignatureVerifier::SignatureVerifier(UniqueCngAlgorithm algorithm, UniqueCngKey key)
    : algorithm_(std::move(algorithm)), key_(std::move(key))
{
}

std::unique_ptr<SignatureVerifier> SignatureVerifier::fromPublicKey(const std::wstring& base64Key)
{
    std::vector<uint8_t> der;
    EcdsaEncoding::PublicPoint point;
    if (!decodeBase64(base64Key, der) || !EcdsaEncoding::readP256PublicKey(der, point))
        return nullptr;

    // CNG's public blob: a header naming the curve and the coordinate size, then X and Y.
    std::vector<uint8_t> blob(sizeof(BCRYPT_ECCKEY_BLOB) + point.x.size() + point.y.size());
    BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, static_cast<ULONG>(point.x.size())};
    std::memcpy(blob.data(), &header, sizeof(header));
    std::memcpy(blob.data() + sizeof(header), point.x.data(), point.x.size());
    std::memcpy(blob.data() + sizeof(header) + point.x.size(), point.y.data(), point.y.size());

    UniqueCngAlgorithm algorithm;
    UniqueCngKey key;
    if (BCryptOpenAlgorithmProvider(algorithm.receive(), BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) != statusSuccess)
        return nullptr;
    // Not every system checks here that the point lies on the curve (Wine does not); such a key
    // is harmless all the same, since no signature a publisher made verifies against it.
    if (BCryptImportKeyPair(algorithm.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, key.receive(), blob.data(),
                            static_cast<ULONG>(blob.size()), 0) != statusSuccess)
        return nullptr;
    return std::unique_ptr<SignatureVerifier>(new SignatureVerifier(std::move(algorithm), std::move(key)));
}

bool SignatureVerifier::verifyInstaller(HANDLE file, const std::wstring& productId, int32_t versionCode,
                                        const std::wstring& base64Signature) const
{
    std::vector<uint8_t> der;
    std::array<uint8_t, 2 * EcdsaEncoding::coordinateBytes> raw;
    Digest installer;
    std::string statement;
    Digest signedDigest;
    if (!decodeBase64(base64Signature, der) || !EcdsaEncoding::signatureToRaw(der, raw) || !hashFile(file, installer) ||
        !InstallerStatement::compose(productId, versionCode, installer, statement) ||
        !hashBytes(statement, signedDigest))
        return false;
    return BCryptVerifySignature(key_.get(), nullptr, signedDigest.data(), static_cast<ULONG>(signedDigest.size()),
                                 raw.data(), static_cast<ULONG>(raw.size()), 0) == statusSuccess;
}

bool SignatureVerifier::hashBytes(const std::string& bytes, Digest& digest)
{
    UniqueCngAlgorithm sha256;
    UniqueCngHash hash;
    std::vector<uint8_t> copy(bytes.begin(), bytes.end());  // CNG takes the input as writable bytes
    return BCryptOpenAlgorithmProvider(sha256.receive(), BCRYPT_SHA256_ALGORITHM, nullptr, 0) == statusSuccess &&
           BCryptCreateHash(sha256.get(), hash.receive(), nullptr, 0, nullptr, 0, 0) == statusSuccess &&
           BCryptHashData(hash.get(), copy.data(), static_cast<ULONG>(copy.size()), 0) == statusSuccess &&
           BCryptFinishHash(hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0) == statusSuccess;
}

bool SignatureVerifier::hashFile(HANDLE file, Digest& digest)
{
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return false;
    UniqueCngAlgorithm sha256;
    UniqueCngHash hash;
    if (BCryptOpenAlgorithmProvider(sha256.receive(), BCRYPT_SHA256_ALGORITHM, nullptr, 0) != statusSuccess ||
        BCryptCreateHash(sha256.get(), hash.receive(), nullptr, 0, nullptr, 0, 0) != statusSuccess)
        return false;
    std::vector<uint8_t> chunk(readChunkBytes);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk.data(), readChunkBytes, &read, nullptr))
            return false;
        if (read == 0)
            break;
        if (BCryptHashData(hash.get(), chunk.data(), read, 0) != statusSuccess)
            return false;
    }
    return BCryptFinishHash(hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0) == statusSuccess;
}

// The DER forms openssl writes for a P-256 public key (SubjectPublicKeyInfo) and an ECDSA
// signature, turned into the raw numbers the system's verifier takes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace EcdsaEncoding {

const size_t coordinateBytes = 32;  // one P-256 coordinate, or one of r and s

struct PublicPoint {
    std::array<uint8_t, coordinateBytes> x{};
    std::array<uint8_t, coordinateBytes> y{};
};

// Reads a SubjectPublicKeyInfo holding an id-ecPublicKey on prime256v1 with an uncompressed
// point (0x04 || X || Y). False for any other key, any other encoding, or trailing bytes.
bool readP256PublicKey(const std::vector<uint8_t>& der, PublicPoint& point);

// Turns a DER ECDSA signature (a SEQUENCE of the INTEGERs r and s) into r || s, each left-padded
// to 32 bytes. False unless both are positive, minimally encoded, and fit in 32 bytes.
bool signatureToRaw(const std::vector<uint8_t>& der, std::array<uint8_t, 2 * coordinateBytes>& raw);

} // namespace EcdsaEncoding

// libFuzzer entry for the DER reader of keys and signatures. The input sits in a buffer of its
// exact size, so AddressSanitizer stops any read past it. What is accepted must be the one
// distinguished encoding of what was read (so nothing else is accepted), and every pair of
// non-zero numbers must come back through its own encoding.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/support/FuzzInput.h"
#include "updater/EcdsaEncoding.h"

using FuzzInput::require;
using Bytes = std::vector<uint8_t>;
using Raw = std::array<uint8_t, 2 * EcdsaEncoding::coordinateBytes>;

namespace {

// SEQUENCE { SEQUENCE { id-ecPublicKey, prime256v1 }, BIT STRING (no unused bits) } before the point.
const Bytes keyHead = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x02, 0x01, 0x06,
                       0x08, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00, 0x04};

// A non-negative number as a minimal DER INTEGER: no leading zero bytes but one before a high bit.
Bytes derInteger(const uint8_t* number, size_t size)
{
    while (size > 1 && number[0] == 0) {
        ++number;
        --size;
    }
    Bytes contents;
    if (number[0] & 0x80)
        contents.push_back(0);
    contents.insert(contents.end(), number, number + size);
    Bytes integer = {0x02, static_cast<uint8_t>(contents.size())};
    integer.insert(integer.end(), contents.begin(), contents.end());
    return integer;
}

// Both integers together stay far below 128 bytes, so the short length form is the DER one.
Bytes derSignature(const Raw& raw)
{
    const size_t half = EcdsaEncoding::coordinateBytes;
    const Bytes r = derInteger(raw.data(), half);
    const Bytes s = derInteger(raw.data() + half, half);
    Bytes der = {0x30, static_cast<uint8_t>(r.size() + s.size())};
    der.insert(der.end(), r.begin(), r.end());
    der.insert(der.end(), s.begin(), s.end());
    return der;
}

bool isZero(const uint8_t* number)
{
    for (size_t i = 0; i < EcdsaEncoding::coordinateBytes; ++i) {
        if (number[i] != 0)
            return false;
    }
    return true;
}

void checkKey(const Bytes& der)
{
    EcdsaEncoding::PublicPoint point;
    if (!EcdsaEncoding::readP256PublicKey(der, point))
        return;
    Bytes expected = keyHead;
    expected.insert(expected.end(), point.x.begin(), point.x.end());
    expected.insert(expected.end(), point.y.begin(), point.y.end());
    require(der == expected, "an accepted key is the P-256 key encoding of its point");
}

void checkSignature(const Bytes& der)
{
    Raw raw;
    if (!EcdsaEncoding::signatureToRaw(der, raw))
        return;
    const size_t half = EcdsaEncoding::coordinateBytes;
    require(!isZero(raw.data()) && !isZero(raw.data() + half), "an accepted signature has non-zero r and s");
    require(derSignature(raw) == der, "an accepted signature is the DER encoding of its r and s");
}

// The first 64 bytes as r || s, encoded and read back.
void checkRoundTrip(const uint8_t* data, size_t size)
{
    Raw raw;
    if (size < raw.size())
        return;
    std::copy(data, data + raw.size(), raw.begin());
    const size_t half = EcdsaEncoding::coordinateBytes;
    const bool valid = !isZero(raw.data()) && !isZero(raw.data() + half);
    Raw read;
    require(EcdsaEncoding::signatureToRaw(derSignature(raw), read) == valid, "r and s read back unless one is zero");
    require(!valid || read == raw, "r and s come back unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Bytes der(data, data + size);  // its own allocation of exactly this size
    checkKey(der);
    checkSignature(der);
    checkRoundTrip(data, size);
    return 0;
}

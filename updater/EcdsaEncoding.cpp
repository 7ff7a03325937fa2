// DER reading for P-256 public keys and ECDSA signatures. Only the distinguished encoding is
// accepted: definite, minimal lengths and nothing after the outermost element.
#include "updater/EcdsaEncoding.h"

#include <algorithm>

namespace EcdsaEncoding {
namespace {

const uint8_t tagInteger = 0x02;
const uint8_t tagBitString = 0x03;
const uint8_t tagObjectId = 0x06;
const uint8_t tagSequence = 0x30;

// 1.2.840.10045.2.1 and 1.2.840.10045.3.1.7, as their DER contents.
const uint8_t idEcPublicKey[] = {0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x02, 0x01};
const uint8_t idPrime256v1[] = {0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x03, 0x01, 0x07};

// A view of some bytes that hands out one DER element after another.
class DerReader {
public:
    DerReader() = default;
    DerReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return position_ == size_; }

    // The next element must carry `tag`; its contents become `contents`.
    bool read(uint8_t tag, DerReader& contents)
    {
        if (size_ - position_ < 2 || data_[position_] != tag)
            return false;
        size_t at = position_ + 1;
        size_t length = 0;
        if (!readLength(at, length) || size_ - at < length)
            return false;
        contents = DerReader(data_ + at, length);
        position_ = at + length;
        return true;
    }

    bool equals(const uint8_t* bytes, size_t size) const
    {
        return size_ == size && std::equal(bytes, bytes + size, data_);
    }

    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    // Short form below 128; long form in one or two bytes, never where a shorter form fits.
    // Nothing here is anywhere near 64 KB, so longer lengths are refused outright.
    bool readLength(size_t& at, size_t& length) const
    {
        const uint8_t first = data_[at++];
        if (first < 0x80) {
            length = first;
            return true;
        }
        const size_t count = first & 0x7F;
        if (count == 0 || count > 2 || size_ - at < count || data_[at] == 0)
            return false;
        length = 0;
        for (size_t i = 0; i < count; ++i)
            length = (length << 8) | data_[at++];
        return length >= 0x80;
    }

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t position_ = 0;
};

// A positive INTEGER of at most 32 significant bytes, right-aligned into `out`. Zero, which is
// never a valid r or s, fails too: its only encoding is the single byte 0.
bool readUnsigned(DerReader& sequence, uint8_t* out)
{
    DerReader integer;
    if (!sequence.read(tagInteger, integer) || integer.size() == 0)
        return false;
    const uint8_t* bytes = integer.data();
    size_t size = integer.size();
    if (bytes[0] & 0x80)
        return false;  // negative
    if (bytes[0] == 0) {
        // A leading zero is only there to keep a high bit from reading as a sign.
        if (size == 1 || !(bytes[1] & 0x80))
            return false;
        ++bytes;
        --size;
    }
    if (size > coordinateBytes)
        return false;
    std::fill(out, out + coordinateBytes, uint8_t{0});
    std::copy(bytes, bytes + size, out + coordinateBytes - size);
    return true;
}

} // namespace

bool readP256PublicKey(const std::vector<uint8_t>& der, PublicPoint& point)
{
    DerReader whole(der.data(), der.size());
    DerReader info, algorithm, keyType, curve, key;
    if (!whole.read(tagSequence, info) || !whole.atEnd())
        return false;
    if (!info.read(tagSequence, algorithm) || !info.read(tagBitString, key) || !info.atEnd())
        return false;
    if (!algorithm.read(tagObjectId, keyType) || !algorithm.read(tagObjectId, curve) || !algorithm.atEnd())
        return false;
    if (!keyType.equals(idEcPublicKey, sizeof(idEcPublicKey)) || !curve.equals(idPrime256v1, sizeof(idPrime256v1)))
        return false;
    // No unused bits, then the uncompressed point.
    const uint8_t* bits = key.data();
    if (key.size() != 2 + 2 * coordinateBytes || bits[0] != 0 || bits[1] != 0x04)
        return false;
    std::copy(bits + 2, bits + 2 + coordinateBytes, point.x.begin());
    std::copy(bits + 2 + coordinateBytes, bits + 2 + 2 * coordinateBytes, point.y.begin());
    return true;
}

bool signatureToRaw(const std::vector<uint8_t>& der, std::array<uint8_t, 2 * coordinateBytes>& raw)
{
    DerReader whole(der.data(), der.size());
    DerReader sequence;
    if (!whole.read(tagSequence, sequence) || !whole.atEnd())
        return false;
    return readUnsigned(sequence, raw.data()) && readUnsigned(sequence, raw.data() + coordinateBytes) &&
           sequence.atEnd();
}

} // namespace EcdsaEncoding

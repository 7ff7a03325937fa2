// The text and DER forms a publisher's key and signatures arrive in: strict base64, the P-256
// SubjectPublicKeyInfo, and the DER ECDSA signature turned into r || s.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <string>
#include <vector>

#include "updater/Base64.h"
#include "updater/EcdsaEncoding.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes hex(const std::string& text)
{
    Bytes bytes;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A P-256 public key as openssl writes it: header, OIDs, BIT STRING with 0x04 || X || Y.
const std::string keyX = "d9cbca344fb1a410e9d4ccdf48644aaec88ae5eff3a7a121314c4211d6d2d85f";
const std::string keyY = "b9c26abf426667cd1dfa8c915cd907c409c207c2ddf402c198e9e3fb0e1569de";
const std::string keyHead = "3059301306072a8648ce3d020106082a8648ce3d030107034200";
const Bytes publicKey = hex(keyHead + "04" + keyX + keyY);

Bytes integer(const Bytes& value) { return concat({{0x02, static_cast<uint8_t>(value.size())}, value}); }
Bytes signature(const Bytes& r, const Bytes& s)
{
    const Bytes body = concat({integer(r), integer(s)});
    return concat({{0x30, static_cast<uint8_t>(body.size())}, body});
}

std::string text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(SignatureEncodingTest, Base64DecodesEveryPaddingAndTheWholeAlphabet)
{
    Bytes bytes;
    ASSERT_TRUE(decodeBase64(L"Zg==", bytes));
    EXPECT_EQ(text(bytes), "f");
    ASSERT_TRUE(decodeBase64(L"Zm8=", bytes));
    EXPECT_EQ(text(bytes), "fo");
    ASSERT_TRUE(decodeBase64(L"Zm9vYmFy", bytes));
    EXPECT_EQ(text(bytes), "foobar");
    ASSERT_TRUE(decodeBase64(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/", bytes));
    EXPECT_EQ(bytes, hex("00108310518720928b30d38f41149351559761969b71d79f8218a39259a7a29aabb2dbafc31cb3d35db7e39ebbf3dfbf"));
}

TEST(SignatureEncodingTest, Base64RefusesAnythingButTheCanonicalForm)
{
    const wchar_t* refused[] = {
        L"",            // nothing
        L"Zg",          // padding left off
        L"Zm9vYmF",     // not whole groups
        L"Zg==Zg==",    // padding inside
        L"Z===",        // too much padding
        L"====",        // padding only
        L"Zh==",        // bits under the padding not zero
        L"Zm9=",        // the same with one "="
        L"Zm9v\nYmFy",  // a line break
        L" Zm9vYmFy",   // a blank
        L"Zm9vYmFy\r\n",
        L"Zm9-YmFy",    // the URL-safe alphabet
        L"Zm9_YmFy",
        L"Zm9v\x00c4mFy",  // outside ASCII
    };
    for (const wchar_t* input : refused) {
        Bytes bytes = {1, 2, 3};
        EXPECT_FALSE(decodeBase64(input, bytes)) << std::string(input, input + wcslen(input));
        EXPECT_TRUE(bytes.empty());
    }
}

TEST(SignatureEncodingTest, APrime256PublicKeyGivesItsPoint)
{
    EcdsaEncoding::PublicPoint point;
    ASSERT_TRUE(EcdsaEncoding::readP256PublicKey(publicKey, point));
    EXPECT_EQ(Bytes(point.x.begin(), point.x.end()), hex(keyX));
    EXPECT_EQ(Bytes(point.y.begin(), point.y.end()), hex(keyY));
}

TEST(SignatureEncodingTest, OtherKeysAndBrokenEncodingsAreRefused)
{
    const std::string point = "04" + keyX + keyY;
    const std::string ecOid = "06072a8648ce3d0201";
    const std::string refused[] = {
        "",
        keyHead + "02" + keyX,                                                     // compressed point
        keyHead + "05" + keyX + keyY,                                              // no point form
        "3059301306072a8648ce3d020106082a8648ce3d030108034200" + point,           // another curve OID
        "3059301306072a8648ce3d020206082a8648ce3d030107034200" + point,           // not id-ecPublicKey
        "30563010" + ecOid + "06052b81040022034200" + point,                       // secp384r1 named
        "3059301306072a8648ce3d020106082a8648ce3d030107034201" + point,           // unused bits
        "3059301306072a8648ce3d020106082a8648ce3d030107044200" + point,           // OCTET STRING
        "308159301306072a8648ce3d020106082a8648ce3d030107034200" + point,         // long form for 89
        "3080301306072a8648ce3d020106082a8648ce3d030107034200" + point + "0000",  // indefinite length
        "305b301306072a8648ce3d020106082a8648ce3d030107034400" + point + "0000",  // a longer point
        "305b301506072a8648ce3d020106082a8648ce3d0301070500034200" + point,       // parameters + NULL
        keyHead + point + "00",                                                    // a byte after the end
        keyHead.substr(0, 4),                                                      // cut short
        (keyHead + point).substr(0, (keyHead.size() + point.size()) - 2),
    };
    for (const std::string& der : refused) {
        EcdsaEncoding::PublicPoint out;
        EXPECT_FALSE(EcdsaEncoding::readP256PublicKey(hex(der), out)) << der;
    }
}

TEST(SignatureEncodingTest, SignatureIntegersLoseTheirSignByteAndArePaddedTo32Bytes)
{
    const Bytes high = hex("fd6814098c9bbff6c5d52975f49001ac5cfa10ad8a2645bedf517e160badd4b4");
    const Bytes short31 = hex("169dd09b8a508d83a2ef5925ffd7df905cf54ce56554dcacb28cb46fa17275");
    std::array<uint8_t, 64> raw;
    ASSERT_TRUE(EcdsaEncoding::signatureToRaw(signature(concat({{0x00}, high}), short31), raw));
    EXPECT_EQ(Bytes(raw.begin(), raw.begin() + 32), high);
    EXPECT_EQ(Bytes(raw.begin() + 32, raw.end()), concat({{0x00}, short31}));

    ASSERT_TRUE(EcdsaEncoding::signatureToRaw(signature({0x01}, {0x7f}), raw));
    EXPECT_EQ(raw[31], 0x01);
    EXPECT_EQ(raw[63], 0x7f);
    EXPECT_EQ(std::count(raw.begin(), raw.end(), 0), 62);
}

TEST(SignatureEncodingTest, MalformedSignaturesAreRefused)
{
    const Bytes r = hex("169dd09b8a508d83a2ef5925ffd7df905cf54ce56554dcacb28cb46fa17275fc");
    const Bytes good = signature(r, r);
    const Bytes refused[] = {
        {},
        signature(hex("fd68"), r),                                // negative r
        signature(r, concat({{0x00}, r})),                        // a sign byte where none is due
        signature(concat({{0x00, 0x00}, r}), r),                  // two leading zeros
        signature(concat({{0x01}, r}), r),                        // 33 significant bytes
        signature({0x00}, r),                                     // r is zero
        signature(r, {}),                                         // s is empty
        concat({good, {0x00}}),                                   // a byte after the end
        concat({{0x30, 0x43}, integer(r), integer(r)}),           // length too short for the contents
        concat({{0x30, 0x45}, integer(r), integer(r), {0x00}}),   // an extra byte inside
        concat({{0x30, 0x44}, integer(r), {0x02, 0x20}, Bytes(r.begin(), r.end() - 1)}),  // cut short
        concat({{0x30, 0x22}, integer(r)}),                       // one integer
        concat({{0x30, 0x81, 0x44}, integer(r), integer(r)}),     // long form for a short length
        concat({{0x31, 0x44}, integer(r), integer(r)}),           // SET, not SEQUENCE
        concat({{0x30, 0x44, 0x03, 0x20}, r, integer(r)}),        // BIT STRING for r
    };
    for (const Bytes& der : refused) {
        std::array<uint8_t, 64> raw;
        EXPECT_FALSE(EcdsaEncoding::signatureToRaw(der, raw)) << ::testing::PrintToString(der);
    }
}

} // namespace

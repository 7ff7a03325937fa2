// The update server's reply: the rule that picks an element's value out of the product's section,
// and the conversion of the version code's text into a number.
#pragma once

#include <string>

struct UpdateReply {
    int versionCode = 0;
    std::wstring versionName;
    std::wstring installerUrl;
    std::wstring signature;  // base64 of the publisher's signature of the installer; may be absent

    // Reads "version_code", "version_name", "url" and "signature" from the first section of
    // `productId`.
    static UpdateReply parse(const std::wstring& reply, const std::wstring& productId);
};

// The text between "<name>" and "</name>" inside the first "<productId>" ... "</productId>"
// section, exactly as written; empty when the section or the element is missing or the element
// is not closed before the section ends. Searches are exact and case-sensitive.
std::wstring replyValue(const std::wstring& reply, const std::wstring& productId, const std::wstring& name);

// Leading white space, an optional sign, then decimal digits up to the first other character;
// no digits give 0, and a value beyond 32 bits stops at the nearest limit.
int versionCodeFromText(const std::wstring& text);

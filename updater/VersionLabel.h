// VersionLabel: the server's version name made fit to stand inside the question put to the user.
#pragma once

#include <string>

struct VersionLabel {
    static const size_t maxLength = 64;

    // The name without control characters (which could start new lines or paragraphs) and
    // without bidirectional formatting characters (which could make the question read
    // backwards), cut to at most maxLength characters ending in "..." when longer.
    static std::wstring forQuestion(const std::wstring& name);
};

// Caption text and the time format.
#include <gtest/gtest.h>

#include "videoplayer/app/Caption.h"

namespace {

TEST(FormatTime, HoursAreNotLimited)
{
    EXPECT_EQ(formatTime(100LL * 3600 * 1000), L"100:00:00");
    EXPECT_EQ(formatTime(65000), L"00:01:05");
    EXPECT_EQ(formatTime(5400000), L"01:30:00");
    EXPECT_EQ(formatTime(999), L"00:00:00");
}

TEST(FormatTime, MinusOneReadsZero)
{
    EXPECT_EQ(formatTime(-1), L"00:00:00");
    EXPECT_EQ(formatSpokenTime(-1), L"0:00");
}

// A screen reader reads the short form: no leading zeros, hours only from the first hour on.
TEST(FormatTime, TheSpokenFormDropsWhatIsZero)
{
    EXPECT_EQ(formatSpokenTime(83999), L"1:23");
    EXPECT_EQ(formatSpokenTime(3723000), L"1:02:03");
    EXPECT_EQ(formatSpokenTime(100LL * 3600 * 1000), L"100:00:00");
}

TEST(ComposeCaption, TheThreeFormats)
{
    EXPECT_EQ(composeCaption(L"Quillet 1.1"), L"Quillet 1.1");
    EXPECT_EQ(composeCaption(L"Quillet 1.1", L"clip.mp4"), L"Quillet 1.1 - clip.mp4");
    EXPECT_EQ(composeCaption(L"Quillet 1.1", L"clip.mp4", L"00:01:05", L"01:30:00"),
              L"Quillet 1.1 - clip.mp4 | 00:01:05 | 01:30:00");
}

TEST(ComposeCaption, ALongNameIsShortenedInItsMiddleAndTheTimesStayWhole)
{
    const std::wstring name = L"start-" + std::wstring(300, L'x') + L"-end.mp4";
    const std::wstring caption = composeCaption(L"Quillet 1.1", name, L"00:01:05", L"01:30:00");
    EXPECT_EQ(caption.size(), maxCaptionLength);
    EXPECT_EQ(caption.rfind(L"Quillet 1.1 - start-", 0), 0u);
    const std::wstring tail = L"-end.mp4 | 00:01:05 | 01:30:00";
    EXPECT_EQ(caption.substr(caption.size() - tail.size()), tail);
    EXPECT_NE(caption.find(L'\x2026'), std::wstring::npos);

    const std::wstring justName = composeCaption(L"Quillet 1.1", name);
    EXPECT_EQ(justName.size(), maxCaptionLength);
    EXPECT_EQ(justName.substr(justName.size() - 8), L"-end.mp4");
}

// True when every surrogate in the text belongs to a pair.
bool surrogatesPaired(const std::wstring& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

// Names of characters outside the BMP (two code units each): whichever way the room falls, the
// ellipsis never splits a pair and the caption still fits.
TEST(ComposeCaption, TheEllipsisNeverSplitsACharacterOfTwoCodeUnits)
{
    std::wstring name = L"a";
    for (int i = 0; i < 200; ++i)
        name += L"\xD83D\xDE00";
    for (const std::wstring title : {L"Quillet 1.1", L"Quillet 1.1 ", L"Quillet 1.1  "}) {
        for (const std::wstring& caption :
             {composeCaption(title, name), composeCaption(title, name, L"00:01:05", L"01:30:00"),
              composeCaption(title, name.substr(1), L"00:01:05", L"01:30:00")}) {
            EXPECT_LE(caption.size(), maxCaptionLength);
            EXPECT_NE(caption.find(L'\x2026'), std::wstring::npos);
            EXPECT_TRUE(surrogatesPaired(caption)) << "title of " << title.size();
        }
    }
}

TEST(ComposeCaption, ANameThatFitsIsKeptWhole)
{
    const std::wstring name(259 - 14 - 22, L'n'); // exactly fills the buffer with the times
    const std::wstring caption = composeCaption(L"Quillet 1.1", name, L"00:00:01", L"00:00:02");
    EXPECT_EQ(caption.size(), maxCaptionLength);
    EXPECT_EQ(caption.find(L'\x2026'), std::wstring::npos);
}

} // namespace

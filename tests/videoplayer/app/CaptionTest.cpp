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

TEST(ComposeCaption, ANameThatFitsIsKeptWhole)
{
    const std::wstring name(259 - 14 - 22, L'n'); // exactly fills the buffer with the times
    const std::wstring caption = composeCaption(L"Quillet 1.1", name, L"00:00:01", L"00:00:02");
    EXPECT_EQ(caption.size(), maxCaptionLength);
    EXPECT_EQ(caption.find(L'\x2026'), std::wstring::npos);
}

} // namespace

// The minimum interval between update checks: its arithmetic, and the check time kept in the
// registry (what counts as no earlier check, and when the stamp is renewed).
#include <gtest/gtest.h>

#include <windows.h>

#include "updater/CheckInterval.h"
#include "updater/CheckTimeStore.h"
#include "updater/Updater.h"
#include "updater/tellanupdate.h"

namespace {

SYSTEMTIME localTime(WORD year, WORD month, WORD day, WORD hour, WORD minute = 0)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    return time;
}

TEST(CheckIntervalTest, HoursCountMonthsAsThirtyDaysAndYearsAs365)
{
    using M = CheckInterval::Moment;
    EXPECT_EQ(CheckInterval::elapsedHours(M{2024, 5, 9, 10}, M{2024, 5, 10, 9}), 23);
    EXPECT_EQ(CheckInterval::elapsedHours(M{2024, 5, 9, 10}, M{2024, 5, 10, 10}), 24);
    EXPECT_EQ(CheckInterval::elapsedHours(M{2024, 3, 31, 23}, M{2024, 4, 1, 0}), -23);
    EXPECT_EQ(CheckInterval::elapsedHours(M{2023, 12, 31, 0}, M{2024, 1, 1, 0}), (365 - 330 - 30) * 24);
    EXPECT_EQ(CheckInterval::elapsedHours(M{0, 0, 0, 0}, M{2024, 1, 1, 0}), ((2024 * 365) + 30 + 1) * 24);
}

TEST(CheckIntervalTest, DueWhenTheElapsedHoursReachTheIntervalInWholeHours)
{
    EXPECT_FALSE(CheckInterval::isDue(23, 86400));
    EXPECT_TRUE(CheckInterval::isDue(24, 86400));
    EXPECT_TRUE(CheckInterval::isDue(-23, 86400));  // a clock that went back counts as due
    EXPECT_TRUE(CheckInterval::isDue(0, 3599));     // below an hour every check is due
    EXPECT_FALSE(CheckInterval::isDue(0, 3600));
    EXPECT_FALSE(CheckInterval::isDue(1, 7199 + 3600));
}

// Test cases run in parallel processes: each keeps its check time under a key of its own.
std::wstring keyOfThisTest()
{
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return L"Quillet Tests\\CheckInterval\\" + std::wstring(name.begin(), name.end());
}

class CheckTimeStoreTest : public ::testing::Test {
protected:
    const std::wstring keyName = keyOfThisTest();
    const std::wstring keyPath = L"Software\\" + keyName;
    const wchar_t* valueName = L"Product_update_time";

    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str()); }

    void storeRaw(DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }

    bool storedTime(SYSTEMTIME& time)
    {
        DWORD size = sizeof(time);
        DWORD type = 0;
        return RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), valueName, RRF_RT_ANY, &type, &time, &size) ==
                   ERROR_SUCCESS &&
               type == REG_BINARY && size == sizeof(time);
    }

    void configure(Updater& updater)
    {
        updater.setParam(TELLANUP_PARAM_REGISTRY_KEY, reinterpret_cast<LONG_PTR>(keyName.c_str()));
        updater.setParam(TELLANUP_PARAM_PRODUCT_ID, reinterpret_cast<LONG_PTR>(L"Product"));
        updater.setParam(TELLANUP_PARAM_INTERVAL, 86400);
    }
};

TEST_F(CheckTimeStoreTest, TwentyThreeHoursAreNotDueAndLeaveTheStampAlone)
{
    const SYSTEMTIME yesterday = localTime(2024, 5, 9, 10, 45);
    storeRaw(REG_BINARY, &yesterday, sizeof(yesterday));
    Updater updater(nullptr);
    configure(updater);

    EXPECT_FALSE(updater.checkIsDue(localTime(2024, 5, 10, 9, 59)));
    SYSTEMTIME stored{};
    ASSERT_TRUE(storedTime(stored));
    EXPECT_EQ(stored.wHour, 10);
    EXPECT_EQ(stored.wMinute, 45);
}

TEST_F(CheckTimeStoreTest, TwentyFourHoursAreDueAndStoreTheNewTime)
{
    const SYSTEMTIME yesterday = localTime(2024, 5, 9, 10);
    storeRaw(REG_BINARY, &yesterday, sizeof(yesterday));
    Updater updater(nullptr);
    configure(updater);

    SYSTEMTIME now = localTime(2024, 5, 10, 10, 5);
    now.wSecond = 7;
    now.wDayOfWeek = 5;
    EXPECT_TRUE(updater.checkIsDue(now));
    SYSTEMTIME stored{};
    ASSERT_TRUE(storedTime(stored));
    EXPECT_EQ(memcmp(&stored, &now, sizeof(now)), 0);
    EXPECT_EQ(memcmp(&updater.lastCheckTime, &now, sizeof(now)), 0);
    // The renewed stamp makes the next check an hour later not due.
    EXPECT_FALSE(updater.checkIsDue(localTime(2024, 5, 10, 11)));
}

TEST_F(CheckTimeStoreTest, TheLastDayOfAMonthToTheFirstOfTheNextIsDue)
{
    const SYSTEMTIME march31 = localTime(2024, 3, 31, 23);
    storeRaw(REG_BINARY, &march31, sizeof(march31));
    Updater updater(nullptr);
    configure(updater);
    EXPECT_TRUE(updater.checkIsDue(localTime(2024, 4, 1, 0, 10)));
}

TEST_F(CheckTimeStoreTest, ValuesOfTheWrongSizeOrTypeCountAsNoEarlierCheck)
{
    const SYSTEMTIME recent = localTime(2024, 5, 10, 9);
    struct Case {
        DWORD type;
        DWORD size;
    } cases[] = {{REG_BINARY, 15}, {REG_DWORD, 4}, {REG_SZ, 16}};
    for (const Case& c : cases) {
        storeRaw(c.type, &recent, c.size);
        Updater updater(nullptr);
        configure(updater);
        // Ten minutes after the stored time: only "no earlier check" makes this due.
        EXPECT_TRUE(updater.checkIsDue(localTime(2024, 5, 10, 9, 10))) << "type " << c.type << " size " << c.size;
        SYSTEMTIME stored{};
        EXPECT_TRUE(storedTime(stored));
    }
}

TEST_F(CheckTimeStoreTest, AMissingValueIsDueAndCreatesIt)
{
    Updater updater(nullptr);
    configure(updater);
    EXPECT_TRUE(updater.checkIsDue(localTime(2024, 5, 10, 9)));
    SYSTEMTIME stored{};
    ASSERT_TRUE(storedTime(stored));
    EXPECT_EQ(stored.wYear, 2024);
}

TEST_F(CheckTimeStoreTest, AKeyNameTooLongForTheRegistryPathKeepsTheTimeHeldInMemory)
{
    const std::wstring longName(251, L'k');  // "Software\" + 251 characters is 260, one too many
    CheckTimeStore store(longName, L"Product");
    EXPECT_EQ(store.keyPath, L"");
    SYSTEMTIME time = localTime(2024, 1, 2, 3);
    EXPECT_FALSE(store.read(time));
    EXPECT_EQ(time.wYear, 2024);

    Updater updater(nullptr);
    updater.setParam(TELLANUP_PARAM_REGISTRY_KEY, reinterpret_cast<LONG_PTR>(longName.c_str()));
    updater.setParam(TELLANUP_PARAM_PRODUCT_ID, reinterpret_cast<LONG_PTR>(L"Product"));
    updater.setParam(TELLANUP_PARAM_INTERVAL, 86400);
    EXPECT_TRUE(updater.checkIsDue(localTime(2024, 5, 10, 9)));
    EXPECT_FALSE(updater.checkIsDue(localTime(2024, 5, 10, 20)));  // the time held by the object
    EXPECT_EQ(CheckTimeStore(std::wstring(250, L'k'), L"P").keyPath.size(), 259u);
}

} // namespace

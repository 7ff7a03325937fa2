// The placement stored in the registry: read once, written once, foreign values ignored.
#include <gtest/gtest.h>

#include <windows.h>
#include <vector>

#include "tests/videoplayer/app/PlayerFixture.h"
#include "videoplayer/app/AppState.h"
#include "videoplayer/app/Settings.h"

namespace {

const wchar_t keyPath[] = L"Software\\Tellan Media Player";

void storeValue(DWORD type, const std::vector<BYTE>& bytes)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"MAIN_WP", 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

std::vector<BYTE> readValue(DWORD* type)
{
    BYTE data[128];
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, keyPath, L"MAIN_WP", RRF_RT_ANY, type, data, &size) != ERROR_SUCCESS)
        return {};
    return std::vector<BYTE>(data, data + size);
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PlayerFixture::deleteSettings();
        app.reset();
    }
    void TearDown() override
    {
        PlayerFixture::deleteSettings();
        app.reset();
    }
};

TEST_F(SettingsTest, FirstStartCreatesTheEmptyKeyAndLoadsNothing)
{
    EXPECT_TRUE(loadSettings());
    EXPECT_EQ(app.placementValid, 0);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    DWORD type = 0;
    EXPECT_TRUE(readValue(&type).empty());
    // Nothing obtained, nothing written.
    EXPECT_TRUE(saveSettings());
    EXPECT_TRUE(readValue(&type).empty());
}

TEST_F(SettingsTest, APlacementRoundTripsByteForByte)
{
    app.placement.length = sizeof(WINDOWPLACEMENT);
    app.placement.flags = 2;
    app.placement.showCmd = SW_SHOWMAXIMIZED;
    app.placement.ptMinPosition = {-1, -1};
    app.placement.ptMaxPosition = {-8, -8};
    app.placement.rcNormalPosition = {-100, 20, 700, 580};
    app.placementValid = 1;
    ASSERT_TRUE(saveSettings());
    DWORD type = 0;
    const std::vector<BYTE> stored = readValue(&type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(stored.size(), 44u);
    const WINDOWPLACEMENT saved = app.placement;
    app.reset();
    ASSERT_TRUE(loadSettings());
    EXPECT_EQ(app.placementValid, 1);
    EXPECT_EQ(memcmp(&app.placement, &saved, 44), 0);
}

TEST_F(SettingsTest, ValuesOfAnotherSizeOrTypeAreIgnoredAndOverwritten)
{
    const std::vector<std::pair<DWORD, std::vector<BYTE>>> foreign = {
        {REG_BINARY, std::vector<BYTE>(40, 1)},
        {REG_BINARY, std::vector<BYTE>(48, 1)},
        {REG_DWORD, std::vector<BYTE>(4, 1)},
    };
    for (const auto& value : foreign) {
        storeValue(value.first, value.second);
        app.reset();
        ASSERT_TRUE(loadSettings());
        EXPECT_EQ(app.placementValid, 0) << "type " << value.first << " size " << value.second.size();
        app.placementValid = 1;
        app.placement.length = sizeof(WINDOWPLACEMENT);
        app.placement.showCmd = SW_SHOWNORMAL;
        ASSERT_TRUE(saveSettings());
        DWORD type = 0;
        EXPECT_EQ(readValue(&type).size(), 44u);
        EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    }
}

} // namespace

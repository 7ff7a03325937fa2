// The library's exported interface: handles, parameters (the publisher's public key among them)
// and the configuration file read by parameter 7, through the DLL as a host sees it.
#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include "tests/updater/TestFiles.h"
#include "updater/SignatureVerifier.h"
#include "updater/Updater.h"
#include "updater/tellanupdate.h"

namespace {

LONG_PTR text(const wchar_t* value) { return reinterpret_cast<LONG_PTR>(value); }

// The handle is the library's Updater; the tests read its fields to see what a call changed.
const Updater& fieldsOf(void* handle) { return *static_cast<const Updater*>(handle); }

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override { handle = tellanup_create(nullptr); }
    void TearDown() override
    {
        if (handle) {
            EXPECT_EQ(tellanup_release(handle), 1);
        }
    }
    void* handle = nullptr;
};

TEST_F(UpdaterTest, ANewHandleStartsEmpty)
{
    ASSERT_NE(handle, nullptr);
    const Updater& updater = fieldsOf(handle);
    EXPECT_EQ(updater.ownerWindow, nullptr);
    EXPECT_TRUE(updater.registryKeyName.empty() && updater.productId.empty() && updater.displayName.empty());
    EXPECT_TRUE(updater.updateUrl.empty() && updater.installerUrl.empty() && updater.installerPath.empty());
    EXPECT_EQ(updater.lastCheckTime.wYear, 0);
    EXPECT_EQ(updater.downloadState, Updater::DownloadNone);
}

TEST_F(UpdaterTest, TheSevenParametersAreStoredAsCopies)
{
    wchar_t key[] = L"Key Name";
    wchar_t product[] = L"Prod";
    wchar_t name[] = L"Display";
    wchar_t url[] = L"http://127.0.0.1:1/u";
    EXPECT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_REGISTRY_KEY, text(key)), 1);
    EXPECT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_PRODUCT_ID, text(product)), 1);
    EXPECT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_DISPLAY_NAME, text(name)), 1);
    EXPECT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_VERSION_CODE, -7), 1);
    EXPECT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_UPDATE_URL, text(url)), 1);
    EXPECT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_INTERVAL, 86400), 1);
    // The host's buffers are its own: changing them afterwards changes nothing in the library.
    key[0] = product[0] = name[0] = url[0] = L'X';
    const Updater& updater = fieldsOf(handle);
    EXPECT_EQ(updater.registryKeyName, L"Key Name");
    EXPECT_EQ(updater.productId, L"Prod");
    EXPECT_EQ(updater.displayName, L"Display");
    EXPECT_EQ(updater.installedVersionCode, -7);
    EXPECT_EQ(updater.updateUrl, L"http://127.0.0.1:1/u");
    EXPECT_EQ(updater.checkInterval, 86400u);
}

TEST_F(UpdaterTest, UnknownIndicesAreAcceptedAndChangeNothing)
{
    tellanup_setParam(handle, TELLANUP_PARAM_UPDATE_URL, text(L"http://a/"));
    tellanup_setParam(handle, TELLANUP_PARAM_VERSION_CODE, 5);
    for (int index : {0, 8, -1}) {
        EXPECT_EQ(tellanup_setParam(handle, index, text(L"http://other/")), 1) << index;
        EXPECT_EQ(tellanup_setParam(handle, index, 99), 1) << index;
    }
    const Updater& updater = fieldsOf(handle);
    EXPECT_EQ(updater.updateUrl, L"http://a/");
    EXPECT_EQ(updater.installedVersionCode, 5);
    EXPECT_TRUE(updater.registryKeyName.empty() && updater.productId.empty() && updater.displayName.empty());
    EXPECT_EQ(updater.checkInterval, 0u);
}

TEST_F(UpdaterTest, TheUrlOfParameterFiveIsReplacedBySetting)
{
    tellanup_setParam(handle, TELLANUP_PARAM_UPDATE_URL, text(L"http://first/"));
    tellanup_setParam(handle, TELLANUP_PARAM_UPDATE_URL, text(L"http://second/"));
    EXPECT_EQ(fieldsOf(handle).updateUrl, L"http://second/");
}

TEST_F(UpdaterTest, ParameterSevenReadsTheUrlFromTheFileWhenItHasOne)
{
    TempFolder folder;
    const std::wstring withUrl = folder.file(L"with.conf");
    const std::wstring withoutKey = folder.file(L"without.conf");
    const std::wstring emptyUrl = folder.file(L"empty.conf");
    ASSERT_TRUE(writeFile(withUrl, "[Global]\r\nURL=http://127.0.0.1:8/from-file\r\n"));
    ASSERT_TRUE(writeFile(withoutKey, "[Global]\r\nOther=1\r\n[Elsewhere]\r\nURL=http://wrong/\r\n"));
    ASSERT_TRUE(writeFile(emptyUrl, "[Global]\r\nURL=\r\n"));

    tellanup_setParam(handle, TELLANUP_PARAM_UPDATE_URL, text(L"http://earlier/"));
    EXPECT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_CONFIG_FILE, text(withoutKey.c_str())), 1);
    EXPECT_EQ(fieldsOf(handle).updateUrl, L"http://earlier/");
    tellanup_setParam(handle, TELLANUP_PARAM_CONFIG_FILE, text(emptyUrl.c_str()));
    EXPECT_EQ(fieldsOf(handle).updateUrl, L"http://earlier/");
    tellanup_setParam(handle, TELLANUP_PARAM_CONFIG_FILE, text(folder.file(L"missing.conf").c_str()));
    EXPECT_EQ(fieldsOf(handle).updateUrl, L"http://earlier/");
    tellanup_setParam(handle, TELLANUP_PARAM_CONFIG_FILE, text(withUrl.c_str()));
    EXPECT_EQ(fieldsOf(handle).updateUrl, L"http://127.0.0.1:8/from-file");
}

TEST_F(UpdaterTest, ParameterSevenRefusesAUrlTooLongToKeepInsteadOfCuttingIt)
{
    TempFolder folder;
    const std::string longest = "http://127.0.0.1/" + std::string(259 - 17, 'a');
    const std::wstring fits = folder.file(L"fits.conf"), tooLong = folder.file(L"long.conf");
    ASSERT_TRUE(writeFile(fits, "[Global]\r\nURL=" + longest + "\r\n"));
    ASSERT_TRUE(writeFile(tooLong, "[Global]\r\nURL=" + longest + "b\r\n"));

    tellanup_setParam(handle, TELLANUP_PARAM_CONFIG_FILE, text(fits.c_str()));
    EXPECT_EQ(fieldsOf(handle).updateUrl.size(), 259u);
    tellanup_setParam(handle, TELLANUP_PARAM_UPDATE_URL, text(L"http://earlier/"));
    tellanup_setParam(handle, TELLANUP_PARAM_CONFIG_FILE, text(tooLong.c_str()));
    EXPECT_EQ(fieldsOf(handle).updateUrl, L"http://earlier/");
}

TEST_F(UpdaterTest, APublicKeyIsTakenOnlyWhenItCanVerifyAndARefusedOneLeavesNone)
{
    const std::wstring good = signingText(L"public.b64");
    ASSERT_FALSE(good.empty());
    const std::wstring refused[] = {
        L"",
        L"not base64",
        good + L"\n",
        good.substr(0, good.size() - 4),
        signingText(L"p384.b64"),
        signingText(L"rsa.b64"),
        signingText(L"private.b64"),
    };
    for (const std::wstring& key : refused) {
        ASSERT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_PUBLIC_KEY, text(good.c_str())), 1);
        ASSERT_NE(fieldsOf(handle).verifier, nullptr);
        EXPECT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_PUBLIC_KEY, text(key.c_str())), 0)
            << std::string(key.begin(), key.end());
        EXPECT_EQ(fieldsOf(handle).verifier, nullptr);
    }
    EXPECT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_PUBLIC_KEY, 0), 0);
}

TEST(UpdaterNullHandleTest, EveryFunctionTakingAHandleReturnsZero)
{
    EXPECT_EQ(tellanup_setParam(nullptr, TELLANUP_PARAM_VERSION_CODE, 1), 0);
    EXPECT_EQ(tellanup_haveNew(nullptr, false), 0);
    EXPECT_EQ(tellanup_haveNew(nullptr, true), 0);
    EXPECT_EQ(tellanup_download(nullptr), 0);
    EXPECT_EQ(tellanup_install(nullptr), 0);
    EXPECT_EQ(tellanup_release(nullptr), 0);
}

TEST(UpdaterHandleTest, TheOwnerWindowIsKept)
{
    HWND owner = GetDesktopWindow();
    void* handle = tellanup_create(owner);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(fieldsOf(handle).ownerWindow, owner);
    EXPECT_EQ(tellanup_release(handle), 1);
}

TEST_F(UpdaterTest, InstallBeforeAnyDownloadRefuses)
{
    EXPECT_EQ(tellanup_install(handle), 0);
}

} // namespace

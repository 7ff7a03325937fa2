// The installer's local file name: taken from the server's URL, and kept inside the Temp folder.
#include <gtest/gtest.h>

#include "updater/InstallerName.h"

namespace {

TEST(InstallerNameTest, TheLastPathSegmentWithoutItsQuery)
{
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/files/setup.exe"), L"setup.exe");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/files/setup.exe?id=7"), L"setup.exe");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/get?file=a/b.exe"), L"b.exe");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/dir\\setup.exe"), L"setup.exe");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/Setup.EXE"), L"Setup.EXE");  // any letter case,
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/quillet.Msi"), L"quillet.Msi");  // .msi too
}

TEST(InstallerNameTest, AUrlWithoutSlashIsTheNameUpToItsQuery)
{
    EXPECT_EQ(InstallerName::fromUrl(L"setup.exe"), L"setup.exe");
    EXPECT_EQ(InstallerName::fromUrl(L"setup.exe?v=2"), L"setup.exe");
}

TEST(InstallerNameTest, NamesThatCouldLeaveTheFolderOrAreNoFileNamesAreRefused)
{
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/files/"), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/files/?x=1"), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/files/.."), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/files/."), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/..\\"), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/C:evil.exe"), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/setup.exe:stream"), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/a*b.exe"), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/a|b.exe"), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/\"a\".exe"), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/a<b>.exe"), L"");
    EXPECT_EQ(InstallerName::fromUrl(std::wstring(L"http://example.test/a") + L'\t' + L"b.exe"), L"");
    EXPECT_EQ(InstallerName::fromUrl(L""), L"");
    // Windows would open these as "setup.exe", another name than the one checked.
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/setup.exe."), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/setup.exe "), L"");
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/setup.exe. . "), L"");
    // The shell opens a file by its extension: only a program or an installer package will do.
    EXPECT_EQ(InstallerName::fromUrl(L"http://example.test/setup.exe.js"), L"");
}

TEST(InstallerNameTest, TheLocalPathPutsTheNumberInFrontOfTheName)
{
    EXPECT_EQ(InstallerName::localPath(L"C:\\Users\\u\\AppData\\Local\\Temp", 4711, L"setup.exe"),
              L"C:\\Users\\u\\AppData\\Local\\Temp\\4711setup.exe");
    EXPECT_EQ(InstallerName::localPath(L"T", 0, L"a.exe"), L"T\\0a.exe");
}

} // namespace

// The folder playlist against real folders: what is listed, in which order, which entry is
// current, files held open for writing, and the index operations at and beyond their ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/TempFolder.h"
#include "videoplayer/playback/PlayListData.h"

namespace {

std::vector<std::wstring> pathsOf(const PlayListData& list)
{
    std::vector<std::wstring> paths;
    for (int i = 0; i < list.count(); ++i)
        paths.push_back(list.pathAt(i));
    return paths;
}

class PlayListFolderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.valid()); }

    void addFiles(const std::vector<std::wstring>& names)
    {
        for (const std::wstring& name : names)
            ASSERT_TRUE(folder.addFile(name)) << std::string(name.begin(), name.end());
    }

    TempFolder folder;
    PlayListData list;
};

TEST_F(PlayListFolderTest, ListsTheFolderInCodeUnitOrderAndMarksTheOpenedFile)
{
    addFiles({L"a.mp4", L"B.Mp4", L"c.avi", L"d.mp4", L".x.mp4", L"Movie.MP4"});
    ASSERT_TRUE(folder.addFolder(L"e.mp4"));

    EXPECT_EQ(list.buildFromFolder(folder / L"Movie.MP4"), 4);
    const std::vector<std::wstring> expected = {folder / L"B.Mp4", folder / L"Movie.MP4", folder / L"a.mp4",
                                                folder / L"d.mp4"};
    EXPECT_EQ(pathsOf(list), expected);
    EXPECT_EQ(list.currentIndex(), 1);
}

TEST_F(PlayListFolderTest, APathDifferingOnlyInCaseFromTheListingMarksNothing)
{
    addFiles({L"a.mp4", L"Movie.MP4"});
    EXPECT_EQ(list.buildFromFolder(folder / L"movie.mp4"), 2);
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST_F(PlayListFolderTest, OrdersByUnsignedCodeUnitsWithoutNumbersOrCaseAndPrefixesFirst)
{
    // U+FF5A would sort first if code units were compared as signed numbers.
    addFiles({L"\xFF5A.mp4", L"\x4E2D.mp4", L"\x00E9.mp4", L"z.mp4", L"9.mp4", L"10.mp4", L"a.mp4.mp4", L"a.mp4"});
    list.buildFromFolder(folder / L"a.mp4");
    const std::vector<std::wstring> expected = {folder / L"10.mp4",     folder / L"9.mp4",      folder / L"a.mp4",
                                                folder / L"a.mp4.mp4",  folder / L"z.mp4",      folder / L"\x00E9.mp4",
                                                folder / L"\x4E2D.mp4", folder / L"\xFF5A.mp4"};
    EXPECT_EQ(pathsOf(list), expected);
    EXPECT_EQ(list.currentIndex(), 2);
}

TEST_F(PlayListFolderTest, RebuildingReplacesTheWholeList)
{
    addFiles({L"a.mp4", L"b.mp4"});
    ASSERT_TRUE(folder.addFolder(L"other"));
    ASSERT_TRUE(folder.addFile(L"other\\z.mp4"));
    ASSERT_EQ(list.buildFromFolder(folder / L"a.mp4"), 2);
    EXPECT_EQ(list.buildFromFolder(folder / L"other\\z.mp4"), 1);
    EXPECT_EQ(list.pathAt(0), folder / L"other\\z.mp4");
    EXPECT_EQ(list.currentIndex(), 0);
}

TEST_F(PlayListFolderTest, AFileHeldOpenForWritingIsLeftOut)
{
    addFiles({L"a.mp4", L"b.mp4"});
    HANDLE writer = CreateFileW((folder / L"b.mp4").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(list.buildFromFolder(folder / L"a.mp4"), 1);
    EXPECT_EQ(list.pathAt(0), folder / L"a.mp4");
    EXPECT_EQ(list.addEntry(folder / L"b.mp4", 0), -1);
    CloseHandle(writer);

    // Once the writer is done the file is playable again.
    EXPECT_EQ(list.buildFromFolder(folder / L"a.mp4"), 2);
}

TEST_F(PlayListFolderTest, AddEntryAppendsOnlyExistingMediaFiles)
{
    addFiles({L"b.mp4", L"a.MP4", L"c.avi"});
    EXPECT_EQ(list.addEntry(folder / L"b.mp4", 0), 0);
    EXPECT_EQ(list.addEntry(folder / L"a.MP4", 1), 1);
    EXPECT_EQ(list.addEntry(folder / L"c.avi", 0), -1);
    EXPECT_EQ(list.addEntry(folder / L"missing.mp4", 0), -1);
    EXPECT_EQ(list.count(), 2);

    // The current flag travels with its entry.
    list.sortByPath();
    EXPECT_EQ(list.pathAt(0), folder / L"a.MP4");
    EXPECT_EQ(list.currentIndex(), 0);
}

TEST_F(PlayListFolderTest, PathsWithoutAListableFolderGiveAnEmptyList)
{
    addFiles({L"a.mp4"});
    ASSERT_GT(list.buildFromFolder(folder / L"a.mp4"), 0);

    EXPECT_EQ(list.buildFromFolder(L"a.mp4"), 0);
    EXPECT_EQ(list.count(), 0);
    // A forward slash is not a separator.
    std::wstring forward = folder / L"a.mp4";
    for (wchar_t& c : forward)
        if (c == L'\\')
            c = L'/';
    EXPECT_EQ(list.buildFromFolder(forward), 0);
    EXPECT_EQ(list.buildFromFolder(folder / L"no such folder\\a.mp4"), 0);
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST_F(PlayListFolderTest, IndexOperationsOutOfRangeChangeNothing)
{
    addFiles({L"a.mp4", L"b.mp4", L"c.mp4"});
    ASSERT_EQ(list.buildFromFolder(folder / L"b.mp4"), 3);

    EXPECT_FALSE(list.removeAt(-1));
    EXPECT_FALSE(list.removeAt(3));
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(list.pathAt(3), L"");
    EXPECT_EQ(list.pathAt(-1), L"");

    list.setCurrentIndex(2);
    EXPECT_EQ(list.currentIndex(), 2);
    list.setCurrentIndex(3);
    EXPECT_EQ(list.currentIndex(), -1);
    list.setCurrentIndex(0);
    list.setCurrentIndex(-1);
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST_F(PlayListFolderTest, RemovingEntriesShiftsTheRestAndCanLeaveNoCurrent)
{
    addFiles({L"a.mp4", L"b.mp4", L"c.mp4"});
    ASSERT_EQ(list.buildFromFolder(folder / L"b.mp4"), 3);

    EXPECT_TRUE(list.removeAt(0));
    EXPECT_EQ(list.pathAt(0), folder / L"b.mp4");
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_TRUE(list.removeAt(0));
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_EQ(list.pathAt(0), folder / L"c.mp4");
    EXPECT_TRUE(list.removeAt(0));
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.removeAt(0));
}

TEST(PlayListExtensionTest, AcceptsMp4InAnyAsciiCaseAfterTheLastDotOnly)
{
    EXPECT_TRUE(PlayListData::hasMediaExtension(L"C:\\v\\a.mp4"));
    EXPECT_TRUE(PlayListData::hasMediaExtension(L"a.MP4"));
    EXPECT_TRUE(PlayListData::hasMediaExtension(L"a.Mp4"));
    EXPECT_TRUE(PlayListData::hasMediaExtension(L"x.avi.mp4"));
    EXPECT_TRUE(PlayListData::hasMediaExtension(L".mp4"));

    EXPECT_FALSE(PlayListData::hasMediaExtension(L"a.mp4v"));
    EXPECT_FALSE(PlayListData::hasMediaExtension(L"a.m4v"));
    EXPECT_FALSE(PlayListData::hasMediaExtension(L"a.mp4 "));
    EXPECT_FALSE(PlayListData::hasMediaExtension(L"a.mp4.avi"));
    EXPECT_FALSE(PlayListData::hasMediaExtension(L"D:\\my.videos\\clip"));
    EXPECT_FALSE(PlayListData::hasMediaExtension(L"D:\\my.mp4\\clip"));
    EXPECT_FALSE(PlayListData::hasMediaExtension(L"clipmp4"));
    EXPECT_FALSE(PlayListData::hasMediaExtension(L"clip."));
    EXPECT_FALSE(PlayListData::hasMediaExtension(L""));
    // Only A to Z fold: a full-width M or a superscript four is another character.
    EXPECT_FALSE(PlayListData::hasMediaExtension(L"a.\xFF2DP4"));
    EXPECT_FALSE(PlayListData::hasMediaExtension(L"a.mp\x2074"));
}

} // namespace

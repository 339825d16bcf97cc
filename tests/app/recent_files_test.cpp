// The recent-files list of the File menu.
#include "app/recent_files.h"

#include <gtest/gtest.h>

namespace tabellan {
namespace {

std::array<QString, 4> Paths(const RecentFiles& r) {
    return r.Paths();
}

TEST(RecentFilesTest, OpeningEntryThreeMovesItUpAndLeavesEntryFour) {
    RecentFiles r;
    r.Load({"/d", "/c", "/b", "/a"});  // /d most recent
    r.Add("/b");
    EXPECT_EQ(Paths(r), (std::array<QString, 4>{"/b", "/d", "/c", "/a"}));
}

TEST(RecentFilesTest, AFifthFileDropsTheOldest) {
    RecentFiles r;
    for (const char* p : {"/1", "/2", "/3", "/4", "/5"}) {
        r.Add(p);
    }
    EXPECT_EQ(Paths(r), (std::array<QString, 4>{"/5", "/4", "/3", "/2"}));
}

TEST(RecentFilesTest, NamesDifferingInLetterCaseAreTwoFiles) {
    RecentFiles r;
    r.Load({"/x/contacts.csv", "/x/beta.csv", "", ""});
    r.Add("/x/CONTACTS.csv");
    EXPECT_EQ(Paths(r),
              (std::array<QString, 4>{"/x/CONTACTS.csv", "/x/contacts.csv", "/x/beta.csv", ""}));
    // The same name exactly moves up and is listed once.
    r.Add("/x/contacts.csv");
    EXPECT_EQ(Paths(r),
              (std::array<QString, 4>{"/x/contacts.csv", "/x/CONTACTS.csv", "/x/beta.csv", ""}));
    r.Add("/X/Beta.csv");
    r.Add("/x/beta.csv");
    EXPECT_EQ(Paths(r), (std::array<QString, 4>{"/x/beta.csv", "/X/Beta.csv", "/x/contacts.csv",
                                                "/x/CONTACTS.csv"}));
}

TEST(RecentFilesTest, EntryOneAgainMovesNothing) {
    RecentFiles r;
    r.Load({"/a", "/b", "/c", ""});
    r.Add("/a");
    EXPECT_EQ(Paths(r), (std::array<QString, 4>{"/a", "/b", "/c", ""}));
}

TEST(RecentFilesTest, LoadingSkipsEmptyValuesAndMovesTheRestUp) {
    RecentFiles r;
    r.Load({"", "a", "", "b"});
    EXPECT_EQ(Paths(r), (std::array<QString, 4>{"a", "b", "", ""}));
    EXPECT_TRUE(r.Any());
    r.Clear();
    EXPECT_FALSE(r.Any());
}

TEST(RecentFilesTest, CaptionsNumberTheEntriesAndDoubleAmpersands) {
    RecentFiles r;
    r.Load({"/home/me/R&D.csv", "", "", ""});
    EXPECT_EQ(r.Caption(0), "&1 /home/me/R&&D.csv");
    EXPECT_EQ(r.Caption(1), "&2 ");
}

}  // namespace
}  // namespace tabellan

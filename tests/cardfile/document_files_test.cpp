// File name rules and the file operations of the save workflow.
#include "cardfile/document_files.h"

#include <cerrno>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cardfile/alternate_file.h"
#include "cardfile/errors.h"
#include "document_fake_view.h"

namespace tabellan {
namespace {

using test::Exists;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

TEST(DocumentFileNamesTest, ExtensionIsTakenFromTheFinalComponentOnly) {
    EXPECT_EQ(ExtractFileExt("/a/b/x.txt"), ".txt");
    EXPECT_EQ(ExtractFileExt("/a/b.d/x"), "");
    EXPECT_EQ(ExtractFileExt("/a/x.tar.gz"), ".gz");
    EXPECT_EQ(ExtractFileExt("/a/x."), ".");
    EXPECT_EQ(ChangeFileExt("/a/b.d/x", ".csv"), "/a/b.d/x.csv");
    EXPECT_EQ(ChangeFileExt("/a/x.txt", ".$$$"), "/a/x.$$$");
    EXPECT_EQ(ChangeFileExt("/a/x.txt", ""), "/a/x");
    EXPECT_EQ(ExtractFileName("/a/b/x.csv"), "x.csv");
    EXPECT_EQ(ExtractFileName("x.csv"), "x.csv");
}

TEST(DocumentFileNamesTest, FullPathIsNormalised) {
    EXPECT_EQ(ExpandFileName("/a/./b/../x.csv"), "/a/x.csv");
    EXPECT_EQ(ExpandFileName("x.csv"), (std::filesystem::current_path() / "x.csv").string());
}

TEST(DocumentFileOpsTest, ExtensionCaseVariantIsFound) {
    TempFolder dir;
    WriteBytes(dir / "x.txt", "t");
    EXPECT_EQ(FindFileIgnoringExtCase(dir / "x.TXT"), dir / "x.txt");
    EXPECT_EQ(FindFileIgnoringExtCase(dir / "x.txt"), dir / "x.txt");
    EXPECT_EQ(FindFileIgnoringExtCase(dir / "X.txt"), "");  // only the extension is case-blind
    EXPECT_EQ(FindFileIgnoringExtCase(dir / "x.csv"), "");
    std::filesystem::create_directory(dir / "d.csv");
    EXPECT_EQ(FindFileIgnoringExtCase(dir / "d.CSV"), "");
    EXPECT_FALSE(FileExists(dir / "d.csv"));
}

TEST(DocumentFileOpsTest, NewAlternateCopyNeverOverwritesAndLeavesNoPartialFile) {
    TempFolder dir;
    const AlternateFileCheck missing{AlternateFileState::Missing, {}};
    WriteBytes(dir / "src", std::string("a\0b\r\n", 5));
    WriteAlternateCopy(dir / "src", dir / "dst", missing);
    EXPECT_EQ(ReadBytes(dir / "dst"), std::string("a\0b\r\n", 5));

    // Something appeared under the name since it was found missing.
    WriteBytes(dir / "src", "new");
    EXPECT_THROW(WriteAlternateCopy(dir / "src", dir / "dst", missing), EProblemAltFile);
    EXPECT_EQ(ReadBytes(dir / "dst"), std::string("a\0b\r\n", 5));
    EXPECT_THROW(WriteAlternateCopy(dir / "missing", dir / "other", missing), EProblemAltFile);
    EXPECT_FALSE(Exists(dir / "other"));
    try {
        WriteAlternateCopy(dir / "src", dir / "no/such/folder", missing);
        ADD_FAILURE() << "no error";
    } catch (const EProblemAltFile& e) {
        EXPECT_EQ(std::string(e.what()), "Problem in saving alternate file.\r" +
                                             dir / "no/such/folder" +
                                             ": No such file or directory");
    }

    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 2);  // src and dst, no temporary copies
}

TEST(DocumentFileOpsTest, FilePrefixAndPermissions) {
    TempFolder dir;
    WriteBytes(dir / "f", "0123456789");
    std::string data = "stale";
    EXPECT_TRUE(ReadFilePrefix(dir / "f", 4, data));
    EXPECT_EQ(data, "0123");
    EXPECT_TRUE(ReadFilePrefix(dir / "f", std::string::npos, data));
    EXPECT_EQ(data, "0123456789");
    EXPECT_FALSE(ReadFilePrefix(dir / "missing", 4, data));
    EXPECT_EQ(errno, ENOENT);
    std::filesystem::permissions(
        dir / "f", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(FilePermissions(dir / "f"), 0600u);
    EXPECT_EQ(FilePermissions(dir / "missing"), std::nullopt);
}

TEST(DocumentFileOpsTest, QuietOperationsReportNothing) {
    TempFolder dir;
    DeleteFileQuietly(dir / "missing");
    DeleteFileQuietly("");
    EXPECT_FALSE(RenameFileQuietly(dir / "missing", dir / "b"));
    WriteBytes(dir / "a", "x");
    EXPECT_TRUE(RenameFileQuietly(dir / "a", dir / "b"));
    EXPECT_EQ(ReadBytes(dir / "b"), "x");
}

}  // namespace
}  // namespace tabellan

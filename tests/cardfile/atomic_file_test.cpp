#include "cardfile/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cardfile/errors.h"
#include "cardfile/line_reader.h"
#include "cardfile/system_calls.h"
#include "scoped_fault_hook.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::ScopedFaultHook;
using test::TempFolder;
using test::WriteBytes;

TEST(AtomicFileTest, CommitWritesAndReplaces) {
    TempFolder dir;
    std::string target = dir.File("cards.csv");
    WriteBytes(target, "old");
    {
        AtomicFile f(target);
        EXPECT_EQ(f.TargetPath(), target);
        EXPECT_EQ(f.RealTargetPath(), target);
        f.Write("new ");
        f.Write(std::string(200000, 'x'));  // bigger than the buffer
        f.Write("end");
        EXPECT_EQ(ReadBytes(target), "old");  // untouched until the commit
        f.Commit();
    }
    EXPECT_EQ(ReadBytes(target), "new " + std::string(200000, 'x') + "end");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(AtomicFileTest, UncommittedLeavesNothingBehind) {
    TempFolder dir;
    std::string target = dir.File("cards.csv");
    WriteBytes(target, "old");
    {
        AtomicFile f(target);
        f.Write("half");
        f.Finish();
    }
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(dir.EntryCount(), 1u);
    {
        AtomicFile f(dir.File("new.csv"));
        f.Write("x");
    }
    EXPECT_FALSE(fs::exists(dir.File("new.csv")));
    EXPECT_EQ(dir.EntryCount(), 1u);
}

// The new file has no name in the folder until it is complete and takes the target's: a
// process killed while writing leaves nothing behind.
TEST(AtomicFileTest, TheNewFileIsUnnamedUntilTheCommit) {
    TempFolder dir;
    std::string target = dir.File("cards.csv");
    WriteBytes(target, "old");
    {
        AtomicFile f(target);
        f.Write(std::string(300000, 'n'));
        f.Finish();
        EXPECT_EQ(f.TempPath(), "");
        EXPECT_EQ(dir.EntryCount(), 1u);
        f.Commit();
    }
    EXPECT_EQ(ReadBytes(target), std::string(300000, 'n'));
    EXPECT_EQ(dir.EntryCount(), 1u);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicFile f(target);
        f.Write(std::string(300000, 'k'));
        f.Finish();
        ::raise(SIGKILL);  // no destructor runs
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(ReadBytes(target), std::string(300000, 'n'));
    EXPECT_EQ(dir.EntryCount(), 1u);
}

// Where the folder refuses unnamed files, a temporary name beside the target is used.
TEST(AtomicFileTest, FallsBackToANamedTemporaryFile) {
    TempFolder dir;
    std::string target = dir.File("cards.csv");
    WriteBytes(target, "old");
    ::chmod(target.c_str(), 0640);
    ScopedFaultHook refuseUnnamed([&](sys::Call call, std::string_view path) {
        return call == sys::Call::Open && path == dir.Path().string() ? EOPNOTSUPP : 0;
    });
    {
        AtomicFile f(target);
        f.Write("new");
        f.Finish();
        EXPECT_EQ(fs::path(f.TempPath()).parent_path(), fs::path(target).parent_path());
        EXPECT_EQ(dir.EntryCount(), 2u);
        f.Commit();
    }
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(dir.EntryCount(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    {
        AtomicFile f(target);
        f.Write("dropped");
    }
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(AtomicFileTest, CommitWithoutReplacingNeverOverwrites) {
    for (bool named : {false, true}) {
        TempFolder dir;
        ScopedFaultHook refuseUnnamed([&](sys::Call call, std::string_view path) {
            return named && call == sys::Call::Open && path == dir.Path().string() ? EOPNOTSUPP : 0;
        });
        std::string target = dir.File("alt.csv");
        {
            AtomicFile f(target);
            f.Write("first");
            f.CommitWithoutReplacing();
        }
        EXPECT_EQ(ReadBytes(target), "first");
        try {
            AtomicFile f(target);
            f.Write("second");
            f.CommitWithoutReplacing();
            ADD_FAILURE() << "replaced";
        } catch (const EInOutError& e) {
            EXPECT_EQ(std::string(e.what()), target + ": File exists");
        }
        EXPECT_EQ(ReadBytes(target), "first");
        EXPECT_EQ(dir.EntryCount(), 1u) << named;
    }
}

TEST(AtomicFileTest, PermissionsNeverExceedTheCap) {
    TempFolder dir;
    const mode_t old = ::umask(022);
    {
        AtomicFile f(dir.File("side.$$$"), 0600);
        f.Commit();
    }
    std::string existing = dir.File("export.txt");
    WriteBytes(existing, "x");
    ::chmod(existing.c_str(), 0644);
    {
        AtomicFile f(existing, 0640);
        f.Commit();
    }
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("side.$$$").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    ASSERT_EQ(::stat(existing.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicFileTest, KeepsTheModeOfTheReplacedFile) {
    TempFolder dir;
    std::string target = dir.File("cards.csv");
    WriteBytes(target, "old");
    ::chmod(target.c_str(), 0640);
    {
        AtomicFile f(target);
        f.Write("new");
        f.Commit();
    }
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    mode_t old = ::umask(027);
    {
        AtomicFile f(dir.File("fresh.csv"));
        f.Commit();
    }
    ::umask(old);
    ASSERT_EQ(::stat(dir.File("fresh.csv").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicFileTest, WritesThroughASymbolicLink) {
    TempFolder dir;
    std::string real = dir.File("real.csv");
    std::string link = dir.File("link.csv");
    WriteBytes(real, "old");
    fs::create_symlink(real, link);
    {
        AtomicFile f(link);
        f.Write("new");
        f.Commit();
    }
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), "new");
    using test::ScopedFaultHook;
}

TEST(AtomicFileTest, MissingFolderGivesTheSystemMessage) {
    TempFolder dir;
    std::string target = dir.File("no/such/cards.csv");
    try {
        AtomicFile f(target);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), target + ": No such file or directory");
    }
}

TEST(AtomicFileTest, WriteFailureLeavesTargetUntouched) {
    TempFolder dir;
    std::string target = dir.File("cards.csv");
    WriteBytes(target, "precious");
    // A file size limit makes write() fail with EFBIG, like a full disk would with ENOSPC.
    struct sigaction ign {
    }, old{};
    ign.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ign, &old);
    struct rlimit oldLimit {};
    ::getrlimit(RLIMIT_FSIZE, &oldLimit);
    struct rlimit small = oldLimit;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        AtomicFile f(target);
        f.Write(std::string(1 << 20, 'x'));
        f.Commit();
    } catch (const EInOutError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    ::sigaction(SIGXFSZ, &old, nullptr);
    EXPECT_EQ(message, target + ": File too large");
    EXPECT_EQ(ReadBytes(target), "precious");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(AtomicFileTest, TargetIsADirectory) {
    TempFolder dir;
    fs::create_directory(dir.File("sub"));
    EXPECT_THROW(AtomicFile f(dir.File("sub")), EInOutError);
}

TEST(AtomicFileTest, SystemMessageFormat) {
    EXPECT_EQ(SystemMessage("a.csv", ENOENT), "a.csv: No such file or directory");
    EXPECT_EQ(SystemMessage("/x/y", EACCES), "/x/y: Permission denied");
    // The name is user text in a message: each "&" doubled, so a box shows it as it is.
    EXPECT_EQ(SystemMessage("/R&&D/A&B.csv", ENOENT),
              "/R&&&&D/A&&B.csv: No such file or directory");
}

TEST(ReadWholeFileTest, ReadsAndReportsErrors) {
    TempFolder dir;
    std::string p = dir.File("data.bin");
    std::string data(300000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>(i * 7);
    }
    WriteBytes(p, data);
    EXPECT_EQ(ReadWholeFile(p), data);
    WriteBytes(p, "");
    EXPECT_EQ(ReadWholeFile(p), "");
    std::string missing = dir.File("missing.csv");
    try {
        ReadWholeFile(missing);
        FAIL();
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), missing + ": No such file or directory");
    }
    try {
        ReadWholeFile(dir.File(""));
        FAIL();
    } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find("Is a directory"), std::string::npos);
    }
}

std::vector<std::string> Lines(std::string_view data) {
    LineReader r(data);
    std::vector<std::string> v;
    while (auto l = r.Next()) {
        v.push_back(*l);
    }
    EXPECT_TRUE(r.AtEnd());
    return v;
}

using L = std::vector<std::string>;

TEST(LineReaderTest, LineEnds) {
    EXPECT_EQ(Lines(""), L{});
    EXPECT_EQ(Lines("a"), L{"a"});
    EXPECT_EQ(Lines("a\n"), L{"a"});
    EXPECT_EQ(Lines("a\r\nb\r\n"), (L{"a", "b"}));
    EXPECT_EQ(Lines("a\nb"), (L{"a", "b"}));
    EXPECT_EQ(Lines("\n\n"), (L{"", ""}));
    EXPECT_EQ(Lines("a\rb\r\n"), (L{"ab"}));  // a lone CR is dropped
    EXPECT_EQ(Lines("a\r\r\nb"), (L{"a", "b"}));
    EXPECT_EQ(Lines("a\r"), (L{"a"}));
    EXPECT_EQ(Lines("\r"), (L{""}));
}

TEST(LineReaderTest, CtrlZAtLineStartEndsTheText) {
    EXPECT_EQ(Lines("a\r\n\x1a"
                    "b\r\nc\r\n"),
              L{"a"});
    EXPECT_EQ(Lines("\x1a"), L{});
    EXPECT_EQ(Lines("a\x1a"
                    "b\nc"),
              (L{"a\x1a"
                 "b",
                 "c"}));  // inside a line it is text
    EXPECT_EQ(Lines("a\n\x1a"), L{"a"});
    LineReader r(
        "a\n\x1a"
        "rest");
    EXPECT_FALSE(r.AtEnd());
    EXPECT_EQ(r.Next(), std::optional<std::string>("a"));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.Next(), std::nullopt);
}

TEST(LineReaderTest, NextViewKeepsBytes) {
    std::string data = std::string("x\0y\n\xff\r\n", 7);
    LineReader r(data);
    std::string_view v;
    ASSERT_TRUE(r.NextView(v));
    EXPECT_EQ(v, std::string_view("x\0y", 3));
    ASSERT_TRUE(r.NextView(v));
    EXPECT_EQ(v, "\xff");
    EXPECT_FALSE(r.NextView(v));
}

}  // namespace
}  // namespace tabellan

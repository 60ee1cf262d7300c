// The store on real files: files it cannot use, what a save keeps, faults after
// which the file is the whole old one or the whole new one. How values are
// found and written: fuzz/fuzz_settings_file.cpp, against a model.

#include "settings/profile_store.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <grp.h>
#include <random>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace gradecast;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

namespace {

using LockOut = std::function<std::string(const std::filesystem::path &folder)>;

std::string errorText(const char *what) { return std::string(what) + ": " + std::strerror(errno); }

// Runs body in a forked child, so that what it changes about itself (its user,
// its limits) stays out of the test, and returns the text it reports.
std::string reportFromChild(const std::function<std::string()> &body)
{
    constexpr std::size_t Size = 4096;
    auto *shared = static_cast<char *>(
        ::mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    shared[0] = '\0';
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::strncpy(shared, body().c_str(), Size - 1);
        ::_exit(0);
    }
    int status = 0;
    const bool finished = pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status);
    const std::string report = finished ? shared : "the child did not finish";
    ::munmap(shared, Size);
    return report;
}

// As root, becomes an ordinary user who owns the settings file, if any.
std::string becomeNobody(const std::filesystem::path &folder)
{
    constexpr uid_t Nobody = 65534;
    const std::filesystem::path file = folder / "GRADECAST.INI";
    if (::geteuid() == 0
        && ((std::filesystem::exists(file) && ::chown(file.c_str(), Nobody, Nobody) != 0)
            || ::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
        return "skip: " + errorText("cannot become nobody");
    return {};
}

// A folder the user may not write in (as root, one that nobody may not).
std::string notOwnFolder(const std::filesystem::path &folder)
{
    return ::chmod(folder.c_str(), ::geteuid() == 0 ? 0755 : 0555) != 0
        ? "skip: " + errorText("chmod") : becomeNobody(folder);
}

// A file its owner may write but not read, in a folder open to all.
std::string unreadableFile(const std::filesystem::path &folder)
{
    return ::chmod(folder.c_str(), 0777) != 0 || ::chmod((folder / "GRADECAST.INI").c_str(), 0200)
        ? "skip: " + errorText("chmod") : becomeNobody(folder);
}

// Files may grow to size bytes: a write stops part-way with EFBIG, as on a full disk.
LockOut diskFullAfter(rlim_t size)
{
    return [size](const std::filesystem::path &) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{size, size};
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? "" : "skip: " + errorText("setrlimit");
    };
}

// Settings in front of 100 kB of other keys, so that a write takes a while.
std::string settingsFile(const std::string &url)
{
    std::string content = "[GRADECAST]\r\nURL=" + url + "\r\n[OTHER]\r\n";
    for (int key = 0; key < 1500; ++key)
        content += "KEY" + std::to_string(key) + "=\xAF\xCA" + std::string(60, 'v') + "\r\n";
    return content;
}

} // namespace

TEST(StringFormINI, FallsBackToTheDefaultWhenNothingCanBeRead)
{
    TempFolder folder;
    const std::filesystem::path pipe = folder.path() / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    for (const std::filesystem::path &file : {pipe, folder.path(), folder.path() / "no" / "x.ini"})
        EXPECT_EQ(StringFormINI(u"GRADECAST", u"URL", u"dflt", file), u"dflt") << file;
}

TEST(ProfileWrite, KeepsModeOwnerAndLinks)
{
    TempFolder folder;
    writeBytes(folder.file(), "[G]\r\nK=a\r\n");
    ASSERT_EQ(::chmod(folder.file().c_str(), 0640), 0);
    // Only root can save a file another user owns; the save must not take it over.
    const uid_t owner = ::geteuid() == 0 ? 65534 : ::geteuid();
    ASSERT_EQ(::chown(folder.file().c_str(), owner, owner == 65534 ? 65534 : ::getegid()), 0);
    const std::filesystem::path link = folder.path() / "link.ini";
    std::filesystem::create_symlink(folder.file(), link);

    EXPECT_TRUE(WritePrivateProfileStringA("G", "K", "b", link).ok);

    struct stat status {};
    ASSERT_EQ(::stat(folder.file().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(status.st_uid, owner);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readBytes(folder.file()), "[G]\r\nK=b\r\n");
    EXPECT_EQ(folder.listing(), "GRADECAST.INI|link.ini");
}

TEST(ProfileWrite, RefusesWhatItCannotWriteAndKeepsTheOldFile)
{
    const std::string old = "[G]\r\nK=old\r\n";
    struct Case {
        const char *what;
        std::string section, key, value;
        std::filesystem::path (*target)(const TempFolder &);
        const char *reason;
    };
    const auto file = [](const TempFolder &f) { return f.file(); };
    const Case cases[] = {
        // A line end would add lines of its own, such as "USETAB=9".
        {"CR in the value", "G", "K", "a\rUSETAB=9", file, "line break"},
        {"LF in the key", "G", "K\nX", "a", file, "line break"},
        {"NUL in the section", std::string("G\0X", 3), "K", "a", file, "line break"},
        {"read-only file", "G", "K", "new", file, "read-only"},
        {"path is a folder", "G", "K", "new",
         [](const TempFolder &f) { return f.path() / "dir.ini"; }, "Is a directory"},
        {"missing folder", "G", "K", "new",
         [](const TempFolder &f) { return f.path() / "no" / "GRADECAST.INI"; }, "No such file"},
        {"folder is a file", "G", "K", "new",
         [](const TempFolder &f) { return f.file() / "GRADECAST.INI"; }, "Not a directory"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        writeBytes(folder.file(), old);
        std::filesystem::create_directory(folder.path() / "dir.ini");
        if (std::string_view(c.what) == "read-only file") {
            ASSERT_EQ(::chmod(folder.file().c_str(), 0444), 0);
        }

        const ProfileWriteResult result =
            WritePrivateProfileStringA(c.section, c.key, c.value, c.target(folder));
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
        EXPECT_EQ(readBytes(folder.file()), old);
        EXPECT_EQ(folder.listing(), "GRADECAST.INI|dir.ini");
        EXPECT_TRUE(std::filesystem::is_empty(folder.path() / "dir.ini"));
    }
}

TEST(ProfileWriteFaults, WhatStopsASaveIsReportedAndTheOldFileStays)
{
    const std::string old = settingsFile("old");
    const struct {
        const char *what;
        LockOut lockOut;
        bool hasOldFile;
        const char *read;   // what the read gives
        const char *reason; // why the write failed
    } cases[] = {
        {"folder not the user's, old file", notOwnFolder, true, "old", "Permission denied"},
        {"folder not the user's, no file", notOwnFolder, false, "dflt", "Permission denied"},
        {"unreadable file", unreadableFile, true, "dflt", "Permission denied"},
        {"disk full at once", diskFullAfter(0), true, "old", "File too large"},
        {"disk full half-way", diskFullAfter(old.size() / 2), true, "old", "File too large"},
        {"disk full at the last byte", diskFullAfter(old.size() - 1), true, "old",
         "File too large"},
        {"disk full, new file", diskFullAfter(5), false, "dflt", "File too large"},
    };
    const auto readAndSave = [](const TempFolder &folder, const LockOut &lockOut) {
        return reportFromChild([&] {
            const std::string problem = lockOut(folder.path());
            if (!problem.empty())
                return problem;
            const std::u16string read = StringFormINI(u"GRADECAST", u"URL", u"dflt", folder.file());
            const ProfileWriteResult saved =
                WritePrivateProfileStringA("GRADECAST", "URL", "new", folder.file());
            return std::string(read.begin(), read.end()) + "|"
                   + (saved.ok ? "ok" : "failed: " + saved.error);
        });
    };
    std::string skipped;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        if (c.hasOldFile)
            writeBytes(folder.file(), old);
        const std::string report = readAndSave(folder, c.lockOut);
        if (report.starts_with("skip: ")) {
            skipped += std::string(c.what) + ": " + report.substr(6) + "; ";
            continue;
        }
        EXPECT_TRUE(report.starts_with(c.read + std::string("|failed: "))) << report;
        EXPECT_NE(report.find(c.reason), std::string::npos) << report;
        EXPECT_EQ(folder.listing(), c.hasOldFile ? "GRADECAST.INI" : "");
        if (c.hasOldFile) {
            ::chmod(folder.file().c_str(), 0644);
            EXPECT_TRUE(readBytes(folder.file()) == old) << "the old file changed";
        }
    }

    // With room for exactly the new file, as long as the old one, the save works.
    TempFolder folder;
    writeBytes(folder.file(), old);
    EXPECT_EQ(readAndSave(folder, diskFullAfter(old.size())), "old|ok");
    EXPECT_TRUE(readBytes(folder.file()) == settingsFile("new"));
    EXPECT_EQ(folder.listing(), "GRADECAST.INI");
    if (!skipped.empty())
        GTEST_SKIP() << "not run here: " << skipped;
}

TEST(ProfileWriteFaults, ASaveEndedAtAnyMomentLeavesTheOldOrTheNewFileWhole)
{
    TempFolder folder;
    const std::string urlA = "http://a.example/";
    const std::string urlB = "http://b.example/longer/path";
    const auto save = [&](const std::string &url) {
        return WritePrivateProfileStringA("GRADECAST", "URL", url, folder.file()).ok;
    };
    writeBytes(folder.file(), settingsFile(urlA));

    // The writer's own alarm ends it within a few times the span of one write,
    // so that the ends land before, inside and between writes.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(save(urlB) && save(urlA));
    const long perWrite = long(std::chrono::duration<double, std::micro>(
                                   std::chrono::steady_clock::now() - start).count() / 2);
    std::mt19937 random(20240917);
    std::uniform_int_distribution<long> delay(1, std::min(50000L, perWrite * 3 + 100));
    int seenA = 0;
    int seenB = 0;
    for (int round = 0; round < 200; ++round) {
        const long microseconds = delay(random);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const itimerval alarm{{0, 0}, {microseconds / 1000000, microseconds % 1000000}};
            ::setitimer(ITIMER_REAL, &alarm, nullptr); // SIGALRM ends the process at once
            while (save(urlB) && save(urlA)) {
            }
            ::_exit(1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM)
            << "the writer stopped itself, round " << round;
        const std::string content = readBytes(folder.file());
        seenA += content == settingsFile(urlA);
        seenB += content == settingsFile(urlB);
        ASSERT_EQ(seenA + seenB, round + 1)
            << "round " << round << ": " << content.size() << " bytes of something else";
    }
    EXPECT_GT(seenA, 0);
    EXPECT_GT(seenB, 0);

    // A writer ended part-way leaves its temporary file; the next save removes
    // those of writers that are gone, never one of a writer still at work.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string live = ".GRADECAST.INI." + std::to_string(::getppid()) + ".0.tmp";
    for (const std::string &name : {".GRADECAST.INI." + std::to_string(gone) + ".3.tmp", live,
                                    std::string(".GRADECAST.INI.x.1.tmp")})
        writeBytes(folder.path() / name, "x");
    EXPECT_TRUE(save(urlB) && readBytes(folder.file()) == settingsFile(urlB));
    EXPECT_EQ(folder.listing(), live + "|.GRADECAST.INI.x.1.tmp|GRADECAST.INI");
}

TEST(ProfileFaults, AFiftyMegabyteFileIsReadAndWrittenInTime)
{
    TempFolder folder;
    std::string content;
    while (content.size() < (50u << 20))
        content += "[S]\r\n; note\r\nNAME=\xAF\xCA\r\nVALUE=" + std::string(120, 'x') + "\r\n\r\n";
    writeBytes(folder.file(), content + "[GRADECAST]\r\nURL=http://far.example/\r\n\r\n[LAST]\r\n");

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(StringFormINI(u"GRADECAST", u"URL", u"", folder.file()), u"http://far.example/");
    EXPECT_EQ(StringFormINI(u"GRADECAST", u"ABSENT", u"-", folder.file()), u"-");
    EXPECT_TRUE(WritePrivateProfileStringA("GRADECAST", "URL", "new", folder.file()).ok);
    EXPECT_TRUE(WritePrivateProfileStringA("GRADECAST", "ABSENT", "(absent)", folder.file()).ok);
    // Seconds; the machines that run the tests vary a lot.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_TRUE(readBytes(folder.file())
                == content + "[GRADECAST]\r\nURL=new\r\nABSENT=(absent)\r\n\r\n[LAST]\r\n");
    EXPECT_EQ(folder.listing(), "GRADECAST.INI");
}

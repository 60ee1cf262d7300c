// The settings file under faults: a folder the program may not write in, an
// unreadable file, a disk that fills up, a save killed part-way, a huge file.
// Whatever happens, the file is the whole old one or the whole new one.

#include "settings/profile_store.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <grp.h>
#include <iostream>
#include <random>
#include <sched.h>
#include <sys/mount.h>
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

constexpr uid_t Nobody = 65534;

std::string outcome(const ProfileWriteResult &result)
{
    return result.ok ? "ok" : "failed: " + result.error;
}

std::string errorText(const char *what) { return std::string(what) + ": " + std::strerror(errno); }

// Runs body in a forked child and returns the text it reports through a pipe,
// so that what the child changes about itself (user, limits, mounts) stays
// out of the test process.
std::string reportFromChild(const std::function<std::string()> &body)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return errorText("pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(channel[0]);
        const std::string text = body();
        const bool sent = ::write(channel[1], text.data(), text.size()) == ssize_t(text.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    std::string text;
    char chunk[512];
    for (ssize_t count; (count = ::read(channel[0], chunk, sizeof chunk)) > 0;)
        text.append(chunk, std::size_t(count));
    ::close(channel[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0)
        return "the child did not finish: " + text;
    return text;
}

// Shuts the calling process out of the folder: as root by becoming an
// ordinary user (who owns the settings file but not the folder), otherwise by
// taking the folder's write permission away.
std::string notOwnFolder(const std::filesystem::path &folder)
{
    if (::geteuid() != 0)
        return ::chmod(folder.c_str(), 0555) == 0 ? "" : "skip: " + errorText("chmod");
    const std::filesystem::path file = folder / "GRADECAST.INI";
    if (::chmod(folder.c_str(), 0755) != 0
        || (std::filesystem::exists(file) && ::chown(file.c_str(), Nobody, Nobody) != 0)
        || ::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
        return "skip: " + errorText("cannot become nobody");
    return {};
}

// A file its owner may write but not read; its folder is open to all.
std::string unreadableFile(const std::filesystem::path &folder)
{
    const std::filesystem::path file = folder / "GRADECAST.INI";
    if (::chmod(folder.c_str(), 0777) != 0 || ::chmod(file.c_str(), 0200) != 0)
        return "skip: " + errorText("chmod");
    if (::geteuid() == 0
        && (::chown(file.c_str(), Nobody, Nobody) != 0 || ::setgroups(0, nullptr) != 0
            || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
        return "skip: " + errorText("cannot become nobody");
    return {};
}

// A read-only bind mount of the folder, which binds root as well; it lives in
// the child's own mount namespace only.
std::string mountReadOnly(const std::filesystem::path &folder)
{
    if (::unshare(CLONE_NEWNS | (::geteuid() == 0 ? 0 : CLONE_NEWUSER)) != 0
        || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0
        || ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr)
               != 0)
        return "skip: " + errorText("cannot mount the folder read-only");
    return {};
}

} // namespace

TEST(ProfileWriteFaults, AFolderOrFileThatCannotBeUsedFailsTheSaveAndKeepsTheOldFile)
{
    const std::string old = "[GRADECAST]\r\nURL=old\r\n";
    struct Case {
        const char *what;
        std::string (*lockOut)(const std::filesystem::path &folder);
        bool hasOldFile;
        const char *read;   // what the read gives
        const char *reason; // why the write failed
    };
    const Case cases[] = {
        {"folder not the user's, old file", notOwnFolder, true, "old", "Permission denied"},
        {"folder not the user's, no file", notOwnFolder, false, "dflt", "Permission denied"},
        {"unreadable file", unreadableFile, true, "dflt", "Permission denied"},
        {"read-only mount, old file", mountReadOnly, true, "old", "read-only"},
        {"read-only mount, no file", mountReadOnly, false, "dflt", "Read-only file system"},
    };
    std::string skipped;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        if (c.hasOldFile)
            writeBytes(folder.file(), old);
        const std::string report = reportFromChild([&] {
            const std::string problem = c.lockOut(folder.path());
            if (!problem.empty())
                return problem;
            const std::u16string read = StringFormINI(u"GRADECAST", u"URL", u"dflt", folder.file());
            return std::string(read.begin(), read.end()) + "|"
                   + outcome(WritePrivateProfileStringA("GRADECAST", "URL", "new", folder.file()));
        });
        if (report.starts_with("skip: ")) {
            skipped += std::string(c.what) + ": " + report.substr(6) + "\n";
            continue;
        }
        EXPECT_TRUE(report.starts_with(c.read + std::string("|failed: "))) << report;
        EXPECT_NE(report.find(c.reason), std::string::npos) << report;
        EXPECT_EQ(folder.listing(), c.hasOldFile ? "GRADECAST.INI" : "");
        if (c.hasOldFile) {
            ASSERT_EQ(::chmod(folder.file().c_str(), 0644), 0);
            EXPECT_EQ(readBytes(folder.file()), old);
        }
    }
    if (!skipped.empty())
        std::cout << "Not run here:\n" << skipped;
}

TEST(ProfileWriteFaults, AWriteCutShortLeavesTheOldFile)
{
    std::string old = "[GRADECAST]\r\nURL=old\r\n[OTHER]\r\n";
    while (old.size() < 100000)
        old += "KEY" + std::to_string(old.size()) + "=" + std::string(60, 'v') + "\r\n";
    std::string written = old;
    written.replace(written.find("URL=old"), 7, "URL=new"); // as long as the old file
    // The file size limit stops the write part-way with EFBIG, as a full disk
    // would, instead of killing the writer.
    const auto writeWithin = [](const TempFolder &folder, rlim_t sizeLimit) {
        return reportFromChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{sizeLimit, sizeLimit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                return errorText("setrlimit");
            return outcome(WritePrivateProfileStringA("GRADECAST", "URL", "new", folder.file()));
        });
    };
    const struct {
        bool hasOldFile;
        rlim_t sizeLimit;
    } cases[] = {{true, 0}, {true, old.size() / 2}, {true, old.size() - 1}, {false, 5}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << c.sizeLimit << ", old file " << c.hasOldFile);
        TempFolder folder;
        if (c.hasOldFile)
            writeBytes(folder.file(), old);
        const std::string report = writeWithin(folder, c.sizeLimit);
        EXPECT_EQ(report, "failed: cannot write " + folder.file().string() + ": "
                              + std::strerror(EFBIG));
        EXPECT_EQ(folder.listing(), c.hasOldFile ? "GRADECAST.INI" : "");
        if (c.hasOldFile) {
            EXPECT_EQ(readBytes(folder.file()), old);
            // With room for exactly the new file the same write succeeds.
            EXPECT_EQ(writeWithin(folder, old.size()), "ok");
            EXPECT_EQ(readBytes(folder.file()), written);
            EXPECT_EQ(folder.listing(), "GRADECAST.INI");
        }
    }
}

TEST(ProfileWriteFaults, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFileWhole)
{
    TempFolder folder;
    std::string rest = "[OTHER]\r\n";
    while (rest.size() < 200000)
        rest += "KEY" + std::to_string(rest.size()) + "=\xAF\xCA" + std::string(60, 'v') + "\r\n";
    const std::string urlA = "http://a.example/";
    const std::string urlB = "http://b.example/longer/path";
    const std::string fileA = "[GRADECAST]\r\nURL=" + urlA + "\r\n" + rest;
    const std::string fileB = "[GRADECAST]\r\nURL=" + urlB + "\r\n" + rest;
    const auto save = [&](const std::string &value) {
        return WritePrivateProfileStringA("GRADECAST", "URL", value, folder.file()).ok;
    };
    writeBytes(folder.file(), fileA);

    // The child's own alarm ends it within a few times the span of one write,
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
        seenA += content == fileA;
        seenB += content == fileB;
        ASSERT_TRUE(content == fileA || content == fileB)
            << "round " << round << ": " << content.size() << " bytes of something else";
    }
    EXPECT_GT(seenA, 0);
    EXPECT_GT(seenB, 0);

    // A writer ended part-way leaves its temporary file. The store cannot tell
    // such files from those of a writer still at work; they must only never
    // get in the way.
    const std::string listing = folder.listing();
    EXPECT_TRUE(listing.starts_with(".GRADECAST.INI.") && listing.ends_with("|GRADECAST.INI"))
        << "no end landed inside a write: " << listing;
    EXPECT_TRUE(save(urlB));
    EXPECT_EQ(readBytes(folder.file()), fileB);
    EXPECT_EQ(folder.listing(), listing);
}

TEST(ProfileFaults, AFiftyMegabyteFileIsReadAndWrittenInTime)
{
    TempFolder folder;
    std::string content;
    for (int section = 0; content.size() < (50u << 20); ++section)
        content += "[S" + std::to_string(section) + "]\r\n; note\r\nNAME=\xAF\xCA\r\nVALUE="
                   + std::string(120, 'x') + "\r\n\r\n";
    const std::string tail = "[GRADECAST]\r\nURL=http://far.example/\r\n\r\n[LAST]\r\nZ=1\r\n";
    writeBytes(folder.file(), content + tail);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(StringFormINI(u"GRADECAST", u"URL", u"", folder.file()), u"http://far.example/");
    EXPECT_EQ(StringFormINI(u"GRADECAST", u"ABSENT", u"-", folder.file()), u"-");
    EXPECT_TRUE(WritePrivateProfileStringA("GRADECAST", "URL", "new", folder.file()).ok);
    EXPECT_TRUE(WritePrivateProfileStringA("GRADECAST", "ABSENT", "(absent)", folder.file()).ok);
    // Seconds; the machines that run the tests vary a lot.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_TRUE(readBytes(folder.file())
                == content + "[GRADECAST]\r\nURL=new\r\nABSENT=(absent)\r\n\r\n[LAST]\r\nZ=1\r\n");
    EXPECT_EQ(folder.listing(), "GRADECAST.INI");
}

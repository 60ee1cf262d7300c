#include "settings/profile_store.h"
#include "settings/settings_record.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace gradecast;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

namespace {

constexpr unsigned Seed = 20240917;

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
    if (pid < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return errorText("fork");
    }
    if (pid == 0) {
        ::close(channel[0]);
        const std::string text = body();
        const ssize_t written = ::write(channel[1], text.data(), text.size());
        ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string text;
    char chunk[512];
    for (;;) {
        const ssize_t count = ::read(channel[0], chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        text.append(chunk, static_cast<std::size_t>(count));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "the child did not finish: " + text;
    return text;
}

template <typename Action>
double secondsFor(Action action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// after must be before with one change: the value of one line of key replaced,
// or a line key=value added (after a line end, and after a header of section
// when that was missing). Every other byte must stand as it stood.
testing::AssertionResult onlyOneLineChanged(std::string_view before, std::string_view after,
                                            std::string_view section, std::string_view key,
                                            std::string_view value)
{
    const std::size_t at = after.find(value);
    if (at == std::string_view::npos || after.find(value, at + 1) != std::string_view::npos)
        return testing::AssertionFailure() << "the value is not in the file exactly once";
    const std::string_view head = after.substr(0, at);
    const std::string_view tail = after.substr(at + value.size());
    const auto splitsLineEnd = [](std::string_view left, std::string_view right) {
        return left.ends_with('\r') && right.starts_with('\n');
    };

    if (head.ends_with('=') && head.size() + tail.size() <= before.size()
        && before.starts_with(head) && before.ends_with(tail)
        && (tail.empty() || isLineEnd(tail.front()))) {
        const std::string_view replaced =
            before.substr(head.size(), before.size() - head.size() - tail.size());
        if (std::none_of(replaced.begin(), replaced.end(), isLineEnd))
            return testing::AssertionSuccess();
    }

    if (tail.starts_with("\r\n") && before.ends_with(tail.substr(2))) {
        const std::string_view rest = tail.substr(2);
        const std::string_view kept = before.substr(0, before.size() - rest.size());
        const std::string entry = std::string(key) + "=";
        const std::string header = "[" + std::string(section) + "]\r\n";
        if (head.starts_with(kept) && !splitsLineEnd(kept, rest)) {
            const std::string_view added = head.substr(kept.size());
            const bool atLineStart = kept.empty() || isLineEnd(kept.back());
            if ((atLineStart && (added == entry || added == header + entry))
                || (!atLineStart && (added == "\r\n" + entry || added == "\r\n" + header + entry)))
                return testing::AssertionSuccess();
        }
    }
    return testing::AssertionFailure() << "more than the line of " << key << " changed";
}

// Settings-like bytes with the file's usual building blocks thrown in among
// random bytes, so that sections and keys are found as well as missed.
std::string randomSettingsBytes(std::mt19937 &random)
{
    static const std::string_view pieces[] = {
        std::string_view("\0", 1), "\r", "\n", "\r\n", "\xFF", "\xAF\xCA", "\xA4", "[GRADECAST]",
        "[gradecast]", " [ GRADECAST ] ", "[OTHER]", "[", "]", "URL=", " url\t= ", "USETAB=5",
        "ABSENT=\"", "=", ";", "\"", "'", " ", "\t",
    };
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> pick(0, 4);
    std::uniform_int_distribution<int> leadByte(0x81, 0xFE);
    const bool onlyRandomBytes = pick(random) == 0;
    std::string bytes;
    for (int count = std::uniform_int_distribution<int>(0, 600)(random); count > 0; --count) {
        if (!onlyRandomBytes && pick(random) < 2)
            bytes += pieces[piece(random)];
        else
            bytes += static_cast<char>(byte(random));
    }
    if (pick(random) < 2)
        bytes += static_cast<char>(leadByte(random)); // half a Big5 character at the end
    return bytes;
}

bool containsIgnoringCase(std::string_view text, std::string_view word)
{
    return std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
           }) != text.end();
}

std::string replaced(std::string text, std::string_view from, std::string_view to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

// Makes the folder one that the calling process cannot write in, in a forked
// child: as root, by becoming an ordinary user that owns the settings file
// but not the folder.
std::string becomeAnotherUser(const std::filesystem::path &folder)
{
    constexpr uid_t Nobody = 65534;
    if (::geteuid() != 0)
        return "skip: not root; ProfileWrite.FailsInAFolderThatCannotBeWritten covers other users";
    const std::filesystem::path file = folder / "GRADECAST.INI";
    if (::chmod(folder.c_str(), 0755) != 0
        || (std::filesystem::exists(file) && ::chown(file.c_str(), Nobody, Nobody) != 0))
        return "skip: " + errorText("cannot hand the file to nobody");
    if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
        return "skip: " + errorText("cannot become nobody");
    return {};
}

// The same through a read-only bind mount of the folder, which binds root as
// well; the mount lives in the child's own mount namespace only.
std::string mountReadOnly(const std::filesystem::path &folder)
{
    if (::unshare(CLONE_NEWNS | (::geteuid() == 0 ? 0 : CLONE_NEWUSER)) != 0)
        return "skip: " + errorText("no mount namespace of its own");
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0
        || ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr)
               != 0)
        return "skip: " + errorText("cannot mount the folder read-only");
    return {};
}

} // namespace

TEST(ProfileWriteFaults, FailsInAFolderThatCannotBeWrittenEvenAsRoot)
{
    const std::string old = "[GRADECAST]\r\nURL=old\r\n";
    struct Case {
        const char *what;
        std::string (*lockOut)(const std::filesystem::path &folder);
        bool hasOldFile;
        const char *reason;
    };
    const Case cases[] = {
        {"other user, old file", becomeAnotherUser, true, "Permission denied"},
        {"other user, no file", becomeAnotherUser, false, "Permission denied"},
        {"read-only mount, old file", mountReadOnly, true, "read-only"},
        {"read-only mount, no file", mountReadOnly, false, "Read-only file system"},
    };
    std::string skipped;
    int ran = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        if (c.hasOldFile)
            writeBytes(folder.file(), old);
        const std::string report = reportFromChild([&] {
            const std::string problem = c.lockOut(folder.path());
            if (!problem.empty())
                return problem;
            return outcome(WritePrivateProfileStringA("GRADECAST", "URL", "new", folder.file()));
        });
        if (report.starts_with("skip: ")) {
            skipped += std::string(c.what) + ": " + report.substr(6) + "\n";
            continue;
        }
        ++ran;
        EXPECT_TRUE(report.starts_with("failed: ")) << report;
        EXPECT_NE(report.find(c.reason), std::string::npos) << report;
        EXPECT_EQ(folder.listing(), c.hasOldFile ? "GRADECAST.INI" : "");
        if (c.hasOldFile) {
            EXPECT_EQ(readBytes(folder.file()), old);
        }
    }
    if (ran == 0)
        GTEST_SKIP() << skipped;
    std::cout << (skipped.empty() ? "" : "Not run here:\n" + skipped);
}

TEST(ProfileFaults, RandomBytesReadWithoutHarmAndAWriteKeepsEveryOtherByte)
{
    struct Key {
        std::u16string_view name;
        std::string_view ascii;
        std::u16string_view fallback;
    };
    const Key keys[] = {{u"URL", "url", u""},         {u"USEENTER", "useenter", u"0"},
                        {u"USETAB", "usetab", u"0"},  {u"ABSENT", "absent", u""},
                        {u"SCORE100", "score100", u""}, {u"DECIMAL", "decimal", u"0"}};
    TempFolder folder;
    std::mt19937 random(Seed);
    for (int round = 0; round < 300; ++round) {
        const std::string before = randomSettingsBytes(random);
        SCOPED_TRACE("round " + std::to_string(round) + " of seed " + std::to_string(Seed));
        writeBytes(folder.file(), before);

        for (const Key &key : keys) {
            const std::u16string value = StringFormINI(u"GRADECAST", key.name, key.fallback,
                                                       folder.file());
            EXPECT_LE(value.size(), 254u);
            if (!containsIgnoringCase(before, key.ascii)) {
                EXPECT_EQ(value, key.fallback);
            }
        }
        SettingsRecord record;
        LoadSettings(record, folder.file());

        const ProfileWriteResult first =
            WritePrivateProfileStringA("GRADECAST", "URL", "http://first.example/", folder.file());
        ASSERT_TRUE(first.ok) << first.error;
        const std::string after = readBytes(folder.file());
        ASSERT_TRUE(onlyOneLineChanged(before, after, "GRADECAST", "URL", "http://first.example/"));
        EXPECT_EQ(StringFormINI(u"GRADECAST", u"URL", u"", folder.file()),
                  u"http://first.example/");

        ASSERT_TRUE(WritePrivateProfileStringA("GRADECAST", "URL", "2", folder.file()).ok);
        EXPECT_EQ(readBytes(folder.file()), replaced(after, "http://first.example/", "2"));
        EXPECT_EQ(folder.listing(), "GRADECAST.INI");
    }
}

TEST(ProfileFaults, AFiftyMegabyteFileIsReadAndWrittenInTime)
{
    TempFolder folder;
    std::string content;
    content.reserve(51 << 20);
    for (int section = 0; content.size() < (50u << 20); ++section)
        content += "[S" + std::to_string(section) + "]\r\n; note\r\nNAME=\xAF\xCA\xA6\xD2\r\nVALUE="
                   + std::string(120, 'x') + "\r\n\r\n";
    content += "[GRADECAST]\r\nURL=http://far.example/\r\nUSETAB=1\r\n\r\n[LAST]\r\nZ=1\r\n";
    writeBytes(folder.file(), content);
    constexpr double Bound = 10.0; // seconds; the machines that run the tests vary a lot

    std::u16string url;
    std::u16string absent;
    EXPECT_LT(secondsFor([&] { url = StringFormINI(u"GRADECAST", u"URL", u"", folder.file()); }),
              Bound);
    EXPECT_LT(secondsFor([&] {
                  absent = StringFormINI(u"GRADECAST", u"ABSENT", u"-", folder.file());
              }),
              Bound);
    EXPECT_EQ(url, u"http://far.example/");
    EXPECT_EQ(absent, u"-");

    ProfileWriteResult result;
    EXPECT_LT(secondsFor([&] {
                  result = WritePrivateProfileStringA("GRADECAST", "URL", "http://near.example/",
                                                      folder.file());
              }),
              Bound);
    ASSERT_TRUE(result.ok) << result.error;
    const std::string replacedUrl = readBytes(folder.file());
    EXPECT_TRUE(
        onlyOneLineChanged(content, replacedUrl, "GRADECAST", "URL", "http://near.example/"));

    EXPECT_LT(secondsFor([&] {
                  result = WritePrivateProfileStringA("GRADECAST", "ABSENT", "(absent)",
                                                      folder.file());
              }),
              Bound);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(onlyOneLineChanged(replacedUrl, readBytes(folder.file()), "GRADECAST", "ABSENT",
                                   "(absent)"));
    EXPECT_EQ(folder.listing(), "GRADECAST.INI");
}

TEST(ProfileWriteFaults, AWriteCutShortLeavesTheOldFile)
{
    std::string old = "[GRADECAST]\r\nURL=old\r\n[OTHER]\r\n";
    while (old.size() < 100000)
        old += "KEY" + std::to_string(old.size()) + "=" + std::string(60, 'v') + "\r\n";
    // The new value is as long as the old one, so the new file is as long as the old.
    const std::string written = replaced(old, "URL=old", "URL=new");
    struct Case {
        const char *what;
        bool hasOldFile;
        rlim_t sizeLimit;
    };
    const Case cases[] = {
        {"no byte fits", true, 0},
        {"half fits", true, old.size() / 2},
        {"all but the last byte fit", true, old.size() - 1},
        {"new file, a few bytes fit", false, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        if (c.hasOldFile)
            writeBytes(folder.file(), old);
        const auto writeWithin = [&](rlim_t sizeLimit) {
            return reportFromChild([&] {
                // The limit makes the write of the temporary file stop part-way with
                // EFBIG, as a full disk would, instead of killing the writer.
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{sizeLimit, sizeLimit};
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                    return errorText("setrlimit");
                return outcome(
                    WritePrivateProfileStringA("GRADECAST", "URL", "new", folder.file()));
            });
        };
        const std::string report = writeWithin(c.sizeLimit);
        EXPECT_TRUE(report.starts_with("failed: ")) << report;
        EXPECT_NE(report.find(std::strerror(EFBIG)), std::string::npos) << report;
        EXPECT_EQ(folder.listing(), c.hasOldFile ? "GRADECAST.INI" : "");
        if (c.hasOldFile) {
            EXPECT_EQ(readBytes(folder.file()), old);
            // With room for exactly the new file the same write succeeds.
            EXPECT_EQ(writeWithin(old.size()), "ok");
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

    // Kill within a few times the span of one write, so that kills land before,
    // inside and between writes; at most 50 ms keeps slow disks in budget.
    bool measured = true;
    const double perWrite = secondsFor([&] {
        for (int i = 0; i < 2; ++i)
            measured = measured && save(urlB) && save(urlA);
    }) / 4;
    ASSERT_TRUE(measured);
    ASSERT_EQ(readBytes(folder.file()), fileA);
    const long longestDelay = std::min(50000L, static_cast<long>(perWrite * 3e6) + 100);
    std::mt19937 random(Seed);
    std::uniform_int_distribution<long> delay(0, longestDelay);

    int seenA = 0;
    int seenB = 0;
    for (int round = 0; round < 200; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(ready[0]);
            const bool told = ::write(ready[1], "r", 1) == 1;
            while (told && save(urlB) && save(urlA)) {
            }
            ::_exit(1);
        }
        ::close(ready[1]);
        char byte = 0;
        const bool started = ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(started && WIFSIGNALED(status)) << "the writer stopped itself, round " << round;

        const std::string content = readBytes(folder.file());
        seenA += content == fileA;
        seenB += content == fileB;
        ASSERT_TRUE(content == fileA || content == fileB)
            << "round " << round << ": " << content.size() << " bytes of something else";
    }
    EXPECT_GT(seenA, 0);
    EXPECT_GT(seenB, 0);

    // A killed writer leaves its temporary file. The store does not clear such
    // files away, as it cannot tell them from those of a writer still at work;
    // they must only never get in the way.
    const std::string listing = folder.listing();
    int leftovers = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder.path())) {
        const std::string name = entry.path().filename().string();
        if (name == "GRADECAST.INI")
            continue;
        ++leftovers;
        EXPECT_TRUE(name.starts_with(".GRADECAST.INI.") && name.ends_with(".tmp")) << name;
    }
    EXPECT_GT(leftovers, 0) << "no kill landed inside a write";
    EXPECT_TRUE(save(urlB));
    EXPECT_EQ(readBytes(folder.file()), fileB);
    EXPECT_EQ(StringFormINI(u"GRADECAST", u"URL", u"", folder.file()),
              std::u16string(urlB.begin(), urlB.end()));
    EXPECT_EQ(folder.listing(), listing);
}

TEST(ProfileWriteFaults, ASaveByAnotherUserKeepsTheFileItsOwners)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may save a file that another user owns";
    TempFolder folder;
    const std::filesystem::path file = folder.file();
    test::writeBytes(file, "[GRADECAST]\r\nURL=old\r\n");
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);

    ASSERT_TRUE(WritePrivateProfileStringA("GRADECAST", "URL", "new", file).ok);

    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    EXPECT_EQ(status.st_gid, 65534u);
    EXPECT_EQ(test::readBytes(file), "[GRADECAST]\r\nURL=new\r\n");
}

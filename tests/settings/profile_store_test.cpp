// The store on real files: files it cannot use, what a save keeps, faults after
// which the file is the whole old one or the whole new one. How values are
// found and written: fuzz/fuzz_settings_file.cpp, against a model.

#include "settings/profile_store.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace gradecast;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

namespace {

// Settings in front of 100 kB of other keys, so that a write takes a while.
std::string settingsFile(const std::string &url)
{
    std::string content = "[GRADECAST]\r\nURL=" + url + "\r\n[OTHER]\r\n";
    for (int key = 0; key < 1500; ++key)
        content += "KEY" + std::to_string(key) + "=\xAF\xCA" + std::string(60, 'v') + "\r\n";
    return content;
}

} // namespace

TEST(ProfileWrite, KeepsTheOwnerOfAFileRootSaves)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may save a file another user owns";
    TempFolder folder;
    writeBytes(folder.file(), "[G]\r\nK=a\r\n");
    ASSERT_EQ(::chown(folder.file().c_str(), 65534, 65534), 0);
    EXPECT_TRUE(WritePrivateProfileStringA("G", "K", "b", folder.file()).ok);
    struct stat status {};
    ASSERT_EQ(::stat(folder.file().c_str(), &status), 0);
    EXPECT_EQ(std::pair(status.st_uid, status.st_gid), std::pair(uid_t(65534), gid_t(65534)));
}

TEST(ProfileWrite, WhatStopsASaveIsReportedAndTheOldFileStays)
{
    if (::geteuid() == 0)
        return test::runAsNobody();
    std::signal(SIGXFSZ, SIG_IGN);
    const std::string old = settingsFile("old");
    constexpr rlim_t Any = RLIM_INFINITY;
    const char *const Ini = "GRADECAST.INI";
    const struct {
        const char *what;
        const char *target;          // beside GRADECAST.INI, a folder, a pipe and a link
        mode_t folderMode, fileMode; // fileMode 0: no GRADECAST.INI
        rlim_t room;                 // the size a file may grow to
        const char *read, *reason;   // what a read gives; why the save fails, or none
    } cases[] = {
        {"read-only file", Ini, 0755, 0444, Any, "old", "read-only"},
        {"unreadable file", Ini, 0755, 0200, Any, "dflt", "Permission denied"},
        {"folder not the user's", Ini, 0555, 0644, Any, "old", "Permission denied"},
        {"folder not the user's, no file", Ini, 0555, 0, Any, "dflt", "Permission denied"},
        {"path is a folder", "dir.ini", 0755, 0644, Any, "dflt", "Is a directory"},
        {"path is a pipe", "pipe.ini", 0755, 0644, Any, "dflt", "Invalid argument"},
        {"missing folder", "no/GRADECAST.INI", 0755, 0644, Any, "dflt", "No such file"},
        {"folder is a file", "GRADECAST.INI/x.ini", 0755, 0644, Any, "dflt", "Not a directory"},
        {"disk full half-way", Ini, 0755, 0644, old.size() / 2, "old", "File too large"},
        {"disk full, new file", Ini, 0755, 0, 5, "dflt", "File too large"},
        {"through a link, room for just the new file", "link.ini", 0755, 0640, old.size(), "old",
         nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        std::filesystem::create_directory(folder.path() / "dir.ini");
        ASSERT_EQ(::mkfifo((folder.path() / "pipe.ini").c_str(), 0644), 0);
        std::filesystem::create_symlink(folder.file(), folder.path() / "link.ini");
        if (c.fileMode != 0) {
            writeBytes(folder.file(), old);
            ASSERT_EQ(::chmod(folder.file().c_str(), c.fileMode), 0);
        }
        ASSERT_EQ(::chmod(folder.path().c_str(), c.folderMode), 0);
        const std::filesystem::path target = folder.path() / c.target;

        const std::u16string read =
            StringFormINI(u"GRADECAST", u"URL", u"dflt", target).value_or(u"no Big5");
        // A write past the room stops part-way with EFBIG, as on a full disk.
        rlimit before{};
        ::getrlimit(RLIMIT_FSIZE, &before);
        const rlimit room{c.room, before.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &room);
        const ProfileWriteResult saved =
            WritePrivateProfileStringA("GRADECAST", "URL", "new", target);
        ::setrlimit(RLIMIT_FSIZE, &before);
        EXPECT_EQ(std::string(read.begin(), read.end()), c.read);
        EXPECT_EQ(saved.ok, c.reason == nullptr);
        EXPECT_NE(saved.error.find(c.reason ? c.reason : ""), std::string::npos) << saved.error;
        struct stat status {};
        EXPECT_TRUE(c.fileMode == 0 || (::stat(folder.file().c_str(), &status) == 0
                                        && (status.st_mode & 07777) == c.fileMode));
        ::chmod(folder.file().c_str(), 0644);
        EXPECT_TRUE(readBytes(folder.file())
                    == (c.fileMode == 0 ? "" : c.reason ? old : settingsFile("new")));
        EXPECT_EQ(folder.listing(), std::string(c.fileMode == 0 ? "" : "GRADECAST.INI|")
                                        + "dir.ini|link.ini|pipe.ini");
    }
}

TEST(ProfileWrite, ASaveEndedAtAnyMomentLeavesTheOldOrTheNewFileWhole)
{
    // What a reader finds at any moment during saves is what a save ended then leaves.
    TempFolder folder;
    const std::string urlA = "http://a.example/";
    const std::string urlB = "http://b.example/longer/path";
    writeBytes(folder.file(), settingsFile(urlA));
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    for (bool toB = true; writer == 0; toB = !toB)
        WritePrivateProfileStringA("GRADECAST", "URL", toB ? urlB : urlA, folder.file());
    int seenA = 0;
    int seenB = 0;
    int read = 0;
    // 2000 reads, and on until a save is seen: the first may be slow on a busy disk.
    for (; (read < 2000 || seenB == 0) && read < 100000 && seenA + seenB == read; ++read) {
        const std::string content = readBytes(folder.file());
        seenA += content == settingsFile(urlA);
        seenB += content == settingsFile(urlB);
    }
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    EXPECT_EQ(seenA + seenB, read) << "a read found something else";
    EXPECT_TRUE(seenA > 0 && seenB > 0) << "the saves did not alternate";

    // A writer ended part-way leaves its temporary file; the next save removes
    // those of writers that are gone, never one of a writer still at work.
    const std::string live = ".GRADECAST.INI." + std::to_string(::getppid()) + ".0.tmp";
    for (const std::string &name : {".GRADECAST.INI." + std::to_string(writer) + ".3.tmp", live,
                                    std::string(".GRADECAST.INI.x.1.tmp")})
        writeBytes(folder.path() / name, "x");
    EXPECT_TRUE(WritePrivateProfileStringA("GRADECAST", "URL", urlB, folder.file()).ok);
    EXPECT_EQ(folder.listing(), live + "|.GRADECAST.INI.x.1.tmp|GRADECAST.INI");
}

#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pwd.h>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

namespace gradecast::test {

// A fresh temporary folder, removed with all in it (whatever its permissions) at the end.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = std::filesystem::temp_directory_path() / "gradecast-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::system_error(errno, std::generic_category(), "mkdtemp");
        m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code error;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(m_path, error);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path file() const { return m_path / "GRADECAST.INI"; }

    // The names of everything in the folder, sorted, joined by "|".
    std::string listing() const
    {
        std::set<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(m_path))
            names.insert(entry.path().filename().string());
        std::string joined;
        for (const std::string &name : names)
            joined += (joined.empty() ? "" : "|") + name;
        return joined;
    }

private:
    std::filesystem::path m_path;
};

inline void writeBytes(const std::filesystem::path &file, std::string_view bytes)
{
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string readBytes(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Root may write anywhere, so tests of what a user may not do run again as the
// user nobody: the current test, from a copy of this program that nobody may run.
inline void runAsNobody()
{
    const passwd *nobody = ::getpwnam("nobody");
    if (!nobody)
        GTEST_SKIP() << "no user nobody here to run the test as";
    TempFolder copy;
    const std::filesystem::path program = copy.path() / "tests";
    std::filesystem::permissions(copy.path(), std::filesystem::perms(0755));
    std::filesystem::copy_file("/proc/self/exe", program);
    const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string command = "setpriv --reuid=" + std::to_string(nobody->pw_uid) + " --regid="
        + std::to_string(nobody->pw_gid) + " --clear-groups '" + program.string()
        + "' --gtest_filter=" + test->test_suite_name() + "." + test->name();
    EXPECT_EQ(std::system(command.c_str()), 0) << "failed as nobody (see above): " << command;
}

} // namespace gradecast::test

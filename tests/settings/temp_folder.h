#pragma once

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace gradecast::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the test ends.
class TempFolder {
public:
    TempFolder()
    {
        static std::atomic<unsigned> counter{0};
        std::random_device random;
        m_path = std::filesystem::temp_directory_path()
                 / ("gradecast-settings-" + std::to_string(getpid()) + "-"
                    + std::to_string(counter++) + "-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code error;
        for (const auto &entry : std::filesystem::recursive_directory_iterator(m_path, error))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
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
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(m_path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
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

} // namespace gradecast::test

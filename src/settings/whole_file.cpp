#include "settings/whole_file.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace gradecast {

namespace {

std::string failure(const std::string &what, const std::filesystem::path &path, int error)
{
    return what + " " + path.string() + ": " + std::strerror(error);
}

ProfileWriteResult failed(std::string error) { return {false, std::move(error)}; }

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(FileDescriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    FileDescriptor &operator=(FileDescriptor &&) = delete;

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    // Returns 0 or the error of closing, which may report a failed write.
    int close()
    {
        const int result = m_fd >= 0 ? ::close(m_fd) : 0;
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// 0, or the error that stopped the write.
int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// A temporary file is named ".<name>.<process id>.<counter>.tmp".
std::string temporaryPrefix(const std::filesystem::path &file)
{
    return "." + file.filename().string() + ".";
}

// The process that wrote a temporary file of that prefix; nothing for other names.
std::optional<pid_t> temporaryWriter(std::string_view name, std::string_view prefix)
{
    if (name.size() < prefix.size() + 4 || !name.starts_with(prefix) || !name.ends_with(".tmp"))
        return std::nullopt;
    name = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    pid_t writer = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), writer);
    const std::string_view counter = name.substr(std::size_t(end - name.data()));
    const bool numbered = counter.size() > 1 && counter[0] == '.'
        && counter.find_first_not_of("0123456789", 1) == std::string_view::npos;
    return error == std::errc() && writer > 0 && numbered ? std::optional(writer) : std::nullopt;
}

// A save ended by a crash or a power cut leaves its temporary file; those of
// writers that are gone are removed, one of a writer still at work never.
void removeLeftTemporaries(const std::filesystem::path &file)
{
    const std::string prefix = temporaryPrefix(file);
    std::error_code error;
    std::filesystem::directory_iterator entry(
        file.parent_path().empty() ? "." : file.parent_path(), error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::optional<pid_t> writer =
            temporaryWriter(entry->path().filename().string(), prefix);
        if (writer && *writer != ::getpid() && ::kill(*writer, 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            std::filesystem::remove(entry->path(), ignored);
        }
    }
}

// Created with O_EXCL so that two writers never share one; the process id and
// a counter make the name unique, retrying over leftovers of a crashed run.
FileDescriptor createTemporary(const std::filesystem::path &file, std::filesystem::path &temporary)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = file;
        temporary.replace_filename(temporaryPrefix(file) + std::to_string(getpid()) + "."
                                   + std::to_string(counter++) + ".tmp");
        FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.isOpen() || errno != EEXIST)
            return fd;
    }
    return FileDescriptor(-1);
}

// Writing through a symbolic link updates the file it points to, not the link.
std::filesystem::path linkTarget(const std::filesystem::path &file)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(file, error))
        return file;
    std::filesystem::path target = std::filesystem::weakly_canonical(file, error);
    return error ? file : target;
}

bool isReadOnly(const struct stat &status, const std::filesystem::path &file)
{
    // Root may write anything, so the permission bits are checked as well.
    return (status.st_mode & 0222) == 0 || ::access(file.c_str(), W_OK) != 0;
}

} // namespace

WholeFile readWholeFile(const std::filesystem::path &file)
{
    WholeFile result;
    // Non-blocking, so that a pipe put in the file's place cannot hang the reader.
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.isOpen()) {
        result.exists = errno != ENOENT && errno != ENOTDIR;
        result.error = failure("cannot open", file, errno);
        return result;
    }
    result.exists = true;
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        result.error = failure("cannot read", file, errno);
        return result;
    }
    if (!S_ISREG(status.st_mode)) {
        result.error = failure("cannot read", file, S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
        return result;
    }
    result.bytes.reserve(static_cast<std::size_t>(status.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t count = ::read(fd.get(), chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            result.error = failure("cannot read", file, errno);
            result.bytes.clear();
            return result;
        }
        if (count == 0)
            return result;
        result.bytes.append(chunk, static_cast<std::size_t>(count));
    }
}

ProfileWriteResult replaceWholeFile(const std::filesystem::path &path, std::string_view bytes)
{
    const std::filesystem::path file = linkTarget(path);
    struct stat old {};
    const bool exists = ::stat(file.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return failed(failure("cannot write", file, S_ISDIR(old.st_mode) ? EISDIR : EINVAL));
    if (exists && isReadOnly(old, file))
        return failed("cannot write " + file.string() + ": the file is read-only");

    removeLeftTemporaries(file);
    std::filesystem::path temporary;
    FileDescriptor fd = createTemporary(file, temporary);
    if (!fd.isOpen())
        return failed(failure("cannot create a temporary file for", file, errno));

    int error = writeAll(fd.get(), bytes);
    if (error == 0 && exists && ::fchmod(fd.get(), old.st_mode & 07777) != 0)
        error = errno;
    // The file stays its owner's even when another user saves it; where that
    // is not allowed, the new file is the writer's as on any other save.
    if (error == 0 && exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
        (void)!::fchown(fd.get(), old.st_uid, old.st_gid);
    if (error == 0 && ::fsync(fd.get()) != 0)
        error = errno;
    const int closeError = fd.close();
    if (error == 0)
        error = closeError;
    if (error == 0 && ::rename(temporary.c_str(), file.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return failed(failure("cannot write", file, error));
    }

    // Makes the rename itself durable; the new content is in place either way.
    FileDescriptor folder(::open(file.parent_path().empty() ? "." : file.parent_path().c_str(),
                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.isOpen())
        ::fsync(folder.get());
    return {};
}

} // namespace gradecast

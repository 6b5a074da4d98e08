#include "settings/DurableFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DurableFile {
namespace {

// --- POSIX file primitives: the only platform-specific part -----------------------------------

std::string parentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of links ends at; `path` itself when it is no link. Relative link targets count
// from the link's directory.
std::string followLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
        if (length <= 0)
            return path;
        std::string next(target, std::size_t(length));
        path = next.front() == '/' ? next : parentOf(path) + "/" + next;
    }
    return path;
}

bool writeAllAt(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::pwrite(fd, bytes.data() + done, bytes.size() - done, off_t(done));
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += std::size_t(wrote);
    }
    return true;
}

// Opens a new, private temporary file beside `target`. The process id keeps two running copies of
// the program apart; the counter keeps threads apart; a stale name left by a crash is skipped.
int createTemporaryBeside(const std::string& target, std::string& temporary)
{
    static std::atomic<unsigned> counter{0};
    const std::string directory = parentOf(target);
    const std::size_t slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = directory + "/." + name + "." + std::to_string(::getpid()) + "."
                  + std::to_string(counter.fetch_add(1)) + ".tmp";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the new file the old one's mode (and, where permitted, its owner).
bool keepMode(int fd, const struct stat& old)
{
    if (::fchmod(fd, old.st_mode & 07777) != 0)
        return false;
    struct stat now {};
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid))
        (void)!::fchown(fd, old.st_uid, old.st_gid); // only root may; others keep their own
    return true;
}

// Makes a rename inside `directory` durable.
void syncDirectory(const std::string& directory)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool replaceThroughTemporary(int fd, const std::string& temporary, const std::string& target,
                             const struct stat* old, std::string_view bytes)
{
    bool ok = writeAllAt(fd, bytes);
    if (ok && old)
        ok = keepMode(fd, *old);
    if (ok)
        ok = ::fsync(fd) == 0;
    if (::close(fd) != 0)
        ok = false;
    if (ok)
        ok = std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncDirectory(parentOf(target));
    return true;
}

// Overwrites the file itself. The space the longer contents need is claimed first, so a full disk
// fails the save before any old byte is overwritten.
bool rewriteInPlace(const std::string& target, std::string_view bytes)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = true;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        ok = false;
    if (ok && off_t(bytes.size()) > info.st_size) {
        const int error = ::posix_fallocate(fd, info.st_size, off_t(bytes.size()) - info.st_size);
        ok = error != ENOSPC && error != EFBIG && error != EDQUOT;
    }
    if (ok)
        ok = writeAllAt(fd, bytes);
    if (ok)
        ok = ::ftruncate(fd, off_t(bytes.size())) == 0;
    if (ok)
        ok = ::fsync(fd) == 0;
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

} // namespace

ReadStatus ReadAll(const std::string& path, std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    ReadStatus status = ReadStatus::Read;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            bytes.append(buffer, std::size_t(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            status = ReadStatus::Failed;
            break;
        }
    }
    ::close(fd);
    return status;
}

bool Replace(const std::string& path, std::string_view bytes)
{
    const std::string target = followLinks(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    // A file its owner made read-only is not replaced.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return false;

    std::string temporary;
    const int fd = createTemporaryBeside(target, temporary);
    if (fd >= 0)
        return replaceThroughTemporary(fd, temporary, target, exists ? &old : nullptr, bytes);
    return exists && S_ISREG(old.st_mode) && rewriteInPlace(target, bytes);
}

} // namespace DurableFile

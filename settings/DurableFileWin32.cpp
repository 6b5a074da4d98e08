#include "settings/DurableFile.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

namespace DurableFile {
namespace {

bool writeAll(HANDLE file, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD wrote = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0)
            return false;
        done += wrote;
    }
    return true;
}

// A new, private temporary file beside `target`; INVALID_HANDLE_VALUE when the folder takes none.
HANDLE createTemporaryBeside(const std::string& target, std::string& temporary)
{
    static std::atomic<unsigned> counter {0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + "." + std::to_string(::GetCurrentProcessId()) + "."
                    + std::to_string(counter.fetch_add(1)) + ".tmp";
        HANDLE file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Rewrites an existing file where it stands: for a folder that takes no new file. The space for the
// longer of the two contents is taken first, so a disk that fills up fails the save before a byte
// of the old contents is overwritten, not half-way through them.
bool rewriteInPlace(const std::string& target, std::string_view bytes)
{
    HANDLE file = ::CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size {};
    LARGE_INTEGER wanted {};
    wanted.QuadPart = static_cast<LONGLONG>(bytes.size());
    const LARGE_INTEGER start {};
    bool ok = ::GetFileSizeEx(file, &size);
    if (ok && wanted.QuadPart > size.QuadPart)
        ok = ::SetFilePointerEx(file, wanted, nullptr, FILE_BEGIN) && ::SetEndOfFile(file) && ::FlushFileBuffers(file);
    ok = ok && ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && writeAll(file, bytes) && ::SetEndOfFile(file)
         && ::FlushFileBuffers(file);
    if (!ok && wanted.QuadPart > size.QuadPart) {
        // The reservation failed: give back what was taken, the old contents are untouched.
        ::SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
        ::SetEndOfFile(file);
    }
    ok = ::CloseHandle(file) && ok;
    return ok;
}

// A program that has the file open without sharing it (a virus scanner looking at the new file, an
// indexer) holds it for a moment: the replace is tried again a few times before it fails.
constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplacePauseMs = 100;

bool isMomentary(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED
           || error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
}

// Whether the file could be replaced now; the error says why not. Looked at first, as a replace
// that fails part-way may leave its own temporary files behind.
bool isReplaceable(const std::string& path)
{
    HANDLE file = ::CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

bool moveIntoPlace(const std::string& path, const std::string& temporary, bool exists)
{
    for (int attempt = 1;; ++attempt) {
        if (exists && !isReplaceable(path)) {
            if (attempt == kReplaceAttempts || !isMomentary(::GetLastError()))
                return false;
            ::Sleep(kReplacePauseMs);
            continue;
        }
        // ReplaceFile keeps the old file's attributes and security; a new file is simply moved in.
        if (exists
            && ::ReplaceFileA(path.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                              nullptr))
            return true;
        if (::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (attempt == kReplaceAttempts || !isMomentary(::GetLastError()))
            return false;
        ::Sleep(kReplacePauseMs);
    }
}

} // namespace

ReadStatus ReadAll(const std::string& path, std::string& bytes)
{
    // Another program (or this one) may replace the file while it is read: the read goes on with
    // the contents it opened.
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadStatus::Missing
                                                                              : ReadStatus::Failed;
    }
    ReadStatus status = ReadStatus::Read;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            status = ReadStatus::Failed;
            break;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    ::CloseHandle(file);
    return status;
}

bool Replace(const std::string& path, std::string_view bytes)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return false;

    std::string temporary;
    HANDLE file = createTemporaryBeside(path, temporary);
    if (file == INVALID_HANDLE_VALUE)
        return exists && rewriteInPlace(path, bytes);
    bool ok = writeAll(file, bytes) && ::FlushFileBuffers(file);
    ok = ::CloseHandle(file) && ok;
    ok = ok && moveIntoPlace(path, temporary, exists);
    if (!ok)
        ::DeleteFileA(temporary.c_str());
    return ok;
}

} // namespace DurableFile

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

// Rewrites an existing file where it stands: for a folder that takes no new file.
bool rewriteInPlace(const std::string& target, std::string_view bytes)
{
    HANDLE file = ::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = writeAll(file, bytes) && ::SetEndOfFile(file) && ::FlushFileBuffers(file);
    ok = ::CloseHandle(file) && ok;
    return ok;
}

} // namespace

ReadStatus ReadAll(const std::string& path, std::string& bytes)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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
    // ReplaceFile keeps the old file's attributes and security; a new file is simply moved in.
    if (ok && exists)
        ok = ::ReplaceFileA(path.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                            nullptr)
             || ::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    else if (ok)
        ok = ::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        ::DeleteFileA(temporary.c_str());
    return ok;
}

} // namespace DurableFile

#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Whole files as bytes, for the GUI-free tests.
inline std::string ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// A new, empty folder under the system's temporary folder for one test. It goes with everything
// in it, made writable again first, as tests take rights away.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix)
    {
        static std::atomic<int> made{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path()
                / (prefix + "-" + std::to_string(stamp) + "-" + std::to_string(++made));
        std::filesystem::create_directories(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder()
    {
        namespace fs = std::filesystem;
        std::error_code error;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
        for (fs::recursive_directory_iterator it(path_, error), end; !error && it != end; it.increment(error)) {
            if (!it->is_symlink(error))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
        fs::remove_all(path_, error);
    }

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path File(const std::string& name) const { return path_ / name; }
    // Writes the file and gives its path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        WriteBytes(File(name), bytes);
        return File(name).string();
    }
    std::string Read(const std::string& name) const { return ReadBytes(File(name)); }

private:
    std::filesystem::path path_;
};

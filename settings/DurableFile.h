#pragma once

#include <string>
#include <string_view>

// Whole-file reads and replacements for the program's data files (Option.ini, ZUD.txt, ZEV.txt).
namespace DurableFile {

enum class ReadStatus {
    Read,     // the whole file is in `bytes`
    Missing,  // no file at the path: `bytes` is empty
    Failed,   // the file exists but could not be opened or read to its end: `bytes` holds what was read
};

// Appends the file's bytes to `bytes`.
ReadStatus ReadAll(const std::string& path, std::string& bytes);

// Replaces the contents of the file at `path` with `bytes`, creating it when missing. A link is
// followed and stays a link; an existing file keeps its mode. The new contents go to a temporary file
// beside the file, renamed over it once complete and on disk, so an interrupted save leaves the old
// or the new contents. Where no temporary file can be made beside it (a directory the user cannot
// write), a file the user may write is rewritten in place instead. A file its owner made read-only is
// not replaced. On Windows a file another program holds unshared for a moment (a virus scanner) is
// tried again for about a second, an in-place rewrite takes the disk space it needs before it
// overwrites anything, and a read lets the file be replaced meanwhile. True once the new contents
// are on disk.
bool Replace(const std::string& path, std::string_view bytes);

} // namespace DurableFile

// Free functions on paths, all relative to the working directory.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace lumetra {

bool FileExists(const std::string& path);
// Removes a file or a link; never a folder, not even an empty one.
bool RemoveFile(const std::string& path);
// True when the path exists already or could be made a directory (only the
// last component is created).
bool EnsureDirectory(const std::string& path);
// An open stdio file that closes itself.
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
// fopen ("rb", "wb" or "ab") for files that may come from outside: a path
// that is not a regular file (a FIFO, a device, a directory, a link to one)
// is refused without waiting for anything, and notRegular, when given, tells
// that refusal from a plain failure to open.
File OpenRegularFile(const std::string& path, const char* mode, bool* notRegular = nullptr);
// What the path names, after links, when it is there but is no regular
// file: "a FIFO", "a device", "a directory" or "a socket"; empty for a
// regular file or nothing at all. Nothing is opened, so nothing waits.
std::string SpecialFileKind(const std::string& path);
std::string WithTrailingSeparator(const std::string& path);
std::string DirectoryOf(const std::string& path);
std::string FileNameOf(const std::string& path);

}  // namespace lumetra

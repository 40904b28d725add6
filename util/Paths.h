// Free functions on paths, all relative to the working directory.
#pragma once

#include <string>

namespace lumetra {

bool FileExists(const std::string& path);
bool RemoveFile(const std::string& path);
// True when the path exists already or could be made a directory (only the
// last component is created).
bool EnsureDirectory(const std::string& path);
std::string WithTrailingSeparator(const std::string& path);
std::string DirectoryOf(const std::string& path);
std::string FileNameOf(const std::string& path);

}  // namespace lumetra

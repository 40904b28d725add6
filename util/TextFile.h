// Line-oriented text files. A TextFile holds no open stream between calls:
// every operation opens the file, does its work and closes it again.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lumetra {

class TextFile {
public:
    // A file larger than this is not read (Failed): the program's own text
    // files are far smaller, and a file from outside (or a link to a
    // device that never ends) must not fill the memory.
    static constexpr size_t MaxReadBytes = 64 * 1024;

    explicit TextFile(const char* path) : path_(path) {}
    explicit TextFile(std::string path) : path_(std::move(path)) {}

    // Whole lines, without their "\n" (a "\r" before it stays). Lines of any
    // length are read entire, so a caller that rewrites the file never loses
    // its tail. Only regular files are opened, never waiting for a FIFO.
    std::vector<std::string> ReadLines();
    // The lines joined, each followed by "\r\n"; empty on failure.
    std::string ReadAll();
    // Like reading, writing refuses what is not a regular file (NotOpened)
    // and never waits for a FIFO's other end.
    bool WriteLines(const std::vector<std::string>& lines);
    bool AppendLines(const std::vector<std::string>& lines);

    bool Failed() const { return failed_; }
    bool NotOpened() const { return notOpened_; }
    const std::string& Path() const { return path_; }

private:
    bool Write(const std::vector<std::string>& lines, const char* mode);

    bool failed_ = false;
    bool notOpened_ = false;
    std::string path_;
};

}  // namespace lumetra

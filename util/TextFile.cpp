// Reading and writing a text file's lines, each call opening and closing it.
#include "lumetra/util/TextFile.h"

#include <cstdio>

#include "lumetra/util/Paths.h"

namespace lumetra {

std::vector<std::string> TextFile::ReadLines() {
    failed_ = notOpened_ = false;
    std::vector<std::string> lines;
    File f(OpenRegularFile(path_, "rb"));
    if (!f) {
        failed_ = notOpened_ = true;
        return lines;
    }
    std::string line;
    bool pending = false;
    char buf[4096];
    size_t n;
    size_t total = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
        // Past the bound the file is no text this program wrote: not read.
        if ((total += n) > MaxReadBytes) {
            failed_ = true;
            return {};
        }
        for (size_t i = 0; i < n; ++i) {
            if (buf[i] == '\n') {
                lines.push_back(std::move(line));
                line.clear();
                pending = false;
            } else {
                line += buf[i];
                pending = true;
            }
        }
    }
    if (std::ferror(f.get())) failed_ = true;
    if (pending) lines.push_back(std::move(line));
    return lines;
}

std::string TextFile::ReadAll() {
    const std::vector<std::string> lines = ReadLines();
    if (failed_) return {};
    std::string all;
    for (const std::string& l : lines) all += l + "\r\n";
    return all;
}

bool TextFile::Write(const std::vector<std::string>& lines, const char* mode) {
    failed_ = notOpened_ = false;
    File f(OpenRegularFile(path_, mode));
    if (!f) {
        failed_ = notOpened_ = true;
        return false;
    }
    for (const std::string& l : lines) {
        if (std::fwrite(l.data(), 1, l.size(), f.get()) != l.size() ||
            std::fputc('\n', f.get()) == EOF || std::fflush(f.get()) != 0) {
            failed_ = true;
            break;
        }
    }
    // A failing close (a full disk noticed late) is a failed write too.
    if (std::fclose(f.release()) != 0) failed_ = true;
    return !failed_;
}

bool TextFile::WriteLines(const std::vector<std::string>& lines) { return Write(lines, "wb"); }
bool TextFile::AppendLines(const std::vector<std::string>& lines) { return Write(lines, "ab"); }

}  // namespace lumetra

#include "lumetra/game/Leaderboard.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "lumetra/core/Log.h"
#include "lumetra/util/Paths.h"
#include "lumetra/util/Strings.h"
#include "lumetra/util/TextFile.h"

namespace lumetra {

namespace {

const char* const kDataDirectory = "Data";
constexpr size_t kScoreWidth = 8;

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// A directory name that stays one level below "Data".
bool IsPlainDirectoryName(const std::string& name) {
    return name.find('/') == std::string::npos && name.find("..") == std::string::npos;
}

// Writes a sibling file first and renames it over the target, so a failed or
// interrupted write never leaves a truncated file behind. The lines go out in
// one write.
bool ReplaceFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string contents;
    for (const std::string& line : lines) contents.append(line).push_back('\n');
    const std::string temporary = path + "." + IntToString(getpid()) + ".tmp";
    File file = OpenRegularFile(temporary, "wb");
    if (!file) return false;
    bool written = std::fwrite(contents.data(), 1, contents.size(), file.get()) == contents.size();
    written = std::fflush(file.get()) == 0 && written;
    // A failing close (a full disk noticed late) is a failed write too.
    written = std::fclose(file.release()) == 0 && written;
    if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    RemoveFile(temporary);
    return false;
}

}  // namespace

std::string Leaderboard::ScoreDirectory(const std::string& name) {
    if (!IsPlainDirectoryName(name)) {
        Log("Nome di classifica non valido: " + name);
        return {};
    }
    if (!FileExists(kDataDirectory)) EnsureDirectory(kDataDirectory);
    std::string dir = WithTrailingSeparator(kDataDirectory) + name;
    if (!FileExists(dir) && !EnsureDirectory(dir)) {
        Log("Cartella non creata: " + dir);
        return {};
    }
    dir = WithTrailingSeparator(dir) + "Score";
    if (!FileExists(dir) && !EnsureDirectory(dir)) {
        Log("Cartella non creata: " + dir);
        return {};
    }
    return WithTrailingSeparator(dir);
}

std::string Leaderboard::Entry(int64_t score, const std::string& playerName) {
    std::string digits = IntToString(score, '0', kScoreWidth);
    if (digits.size() > kScoreWidth) digits.erase(0, digits.size() - kScoreWidth);
    return digits + " " + playerName;
}

std::vector<std::string> Leaderboard::Load() {
    error_ = false;
    const std::string dir = ScoreDirectory(name_);
    if (dir.empty()) {
        error_ = true;
        return {};
    }
    const std::string path = dir + FileName;
    if (!FileExists(path)) return {};
    TextFile file(path);
    std::vector<std::string> lines = file.ReadLines();
    if (file.Failed()) {
        Log("Lettura non riuscita: " + path);
        error_ = true;
        return {};
    }
    return lines;
}

bool Leaderboard::Save(std::vector<std::string>& lines) {
    error_ = false;
    // A line feed inside a line would split it in two in the file.
    if (std::any_of(lines.begin(), lines.end(),
                    [](const std::string& l) { return l.find('\n') != std::string::npos; })) {
        Log("Classifica: riga con un a capo, non scritta");
        error_ = true;
        return false;
    }
    // std::string compares bytes as unsigned characters, a prefix first.
    std::sort(lines.begin(), lines.end(), std::greater<std::string>());
    if (lines.size() > MaxEntries) lines.resize(MaxEntries);
    const std::string dir = ScoreDirectory(name_);
    if (dir.empty()) {
        error_ = true;
        return false;
    }
    const std::string path = dir + FileName;
    if (!ReplaceFile(path, lines)) {
        Log("Scrittura non riuscita: " + path);
        error_ = true;
        return false;
    }
    return true;
}

bool Leaderboard::AddScore(int64_t score, const std::string& playerName) {
    if (HasLineBreak(playerName)) {
        Log("Classifica: nome con un a capo, non scritto");
        error_ = true;
        return false;
    }
    std::vector<std::string> lines = Load();
    if (error_) return false;
    lines.push_back(Entry(score, playerName));
    return Save(lines);
}

}  // namespace lumetra

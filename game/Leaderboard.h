// The ten best scores with their players' names, kept in the text file
// "Data/<name>/Score/Classifica.txt": one line per entry, the score filled
// with "0" to 8 digits, one space, the name; the lines in descending byte
// order, so higher scores come first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumetra {

class Leaderboard {
public:
    static constexpr size_t MaxEntries = 10;
    static constexpr const char* FileName = "Classifica.txt";

    explicit Leaderboard(std::string name) : name_(std::move(name)) {}

    // Whether the last operation failed.
    bool Failed() const { return error_; }
    // The lines of the file as they stand; empty (and not a failure) when
    // there is no file yet. A file that exists but cannot be read is a
    // failure, so no caller mistakes it for an empty board and writes over it.
    std::vector<std::string> Load();
    // Sorts the lines, keeps the first ten (the caller's vector too) and
    // replaces the file with them. The old file stays as it was unless the
    // new one was written completely. A board that is a link stays one: its
    // target is written. A board that would not read back (longer than a
    // text file may be to be read) is not written.
    bool Save(std::vector<std::string>& lines);
    // Adds one entry; it is dropped again when it is not among the ten best.
    // The board is locked from the reading to the writing, so two programs
    // adding at once both get their entry in.
    bool AddScore(int64_t score, const std::string& playerName);

    // "Data/<name>/Score/", the directories created as needed; empty when a
    // directory cannot be created or the name would lead outside "Data".
    static std::string ScoreDirectory(const std::string& name);
    // The line that stands for one entry.
    static std::string Entry(int64_t score, const std::string& playerName);

private:
    // The lines of the board in the folder; error_ set when it cannot be read.
    std::vector<std::string> Read(const std::string& dir);
    // Sorts, cuts and writes the lines, unless the board could not be locked
    // (lockFailure says why) or would not read back.
    bool Write(const std::string& dir, const std::string& lockFailure,
               std::vector<std::string>& lines);

    std::string name_;
    bool error_ = false;
};

}  // namespace lumetra

// Arbitrary bytes as "Classifica.txt": Load must answer the file's lines
// exactly, and AddScore must leave the ten best of them and the new entry,
// sorted, whatever the file held.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "lumetra/game/Leaderboard.h"
#include "lumetra/util/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using fuzzing::Check;
    using lumetra::Leaderboard;
    fuzzing::EnterScratch();  // the leaderboard's paths are relative
    const char* const path = "Data/fuzz/Score/Classifica.txt";
    const std::string contents(reinterpret_cast<const char*>(data), size);
    Check(!Leaderboard::ScoreDirectory("fuzz").empty() && std::ofstream(path, std::ios::binary)
                                                              << contents,
          "no file");
    Leaderboard board("fuzz");
    const std::vector<std::string> lines = board.Load();
    // Within the reading bound: the lines split at "\n", a last one without it kept.
    std::vector<std::string> expected;
    for (size_t begin = 0, at; begin < size; begin = at + 1) {
        at = std::min(contents.find('\n', begin), size);
        expected.push_back(contents.substr(begin, at - begin));
    }
    const bool tooLarge = size > lumetra::TextFile::MaxReadBytes;
    Check(board.Failed() == tooLarge, "Load failed on a readable file, or read one too large");
    if (tooLarge) return 0;
    Check(lines == expected, "Load did not answer the file's lines");

    // A score and a name from the input itself: any width, any bytes but line breaks.
    uint64_t bits = size * 7919U;
    for (size_t i = 0; i < std::min<size_t>(size, 8); ++i) bits = bits * 131U + data[i];
    const int64_t score = static_cast<int64_t>(bits);
    std::string name = contents.substr(0, std::min<size_t>(size, 12));
    name.erase(
        std::remove_if(name.begin(), name.end(), [](char c) { return c == '\n' || c == '\r'; }),
        name.end());
    expected.push_back(Leaderboard::Entry(score, name));
    std::sort(expected.begin(), expected.end(), std::greater<std::string>());
    expected.resize(std::min(expected.size(), Leaderboard::MaxEntries));
    // A board too long to read back is not written: the file stays as it was.
    std::string written;
    for (const std::string& l : expected) written += l + "\n";
    const bool writable = written.size() <= lumetra::TextFile::MaxReadBytes;
    Check(board.AddScore(score, name) == writable, "AddScore failed, or wrote a board too long");
    std::ifstream file(path, std::ios::binary);
    Check(std::string(std::istreambuf_iterator<char>(file), {}) == (writable ? written : contents),
          "the file is not the ten best lines, sorted, or not the old file");
    // The score as eight characters: zero-filled, or its last eight digits.
    const std::string digits = "00000000" + std::to_string(score);
    Check(Leaderboard::Entry(score, name) == digits.substr(digits.size() - 8) + " " + name,
          "the entry is not eight score characters, a space and the name");
    return 0;
}

// Arbitrary bytes as "Classifica.txt": Load must answer the file's lines
// exactly, and AddScore must leave the ten best of them and the new entry,
// sorted, whatever the file held.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "game/Leaderboard.h"

namespace {

const char* const kPath = "Data/fuzz/Score/Classifica.txt";

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "leaderboard_fuzz: %s\n", what);
    std::abort();
}

std::string ReadAll(const char* path) {
    std::string all;
    if (std::FILE* f = std::fopen(path, "rb")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) all.append(buf, n);
        std::fclose(f);
    }
    return all;
}

// The lines a reader must see: split at "\n", a last line without one kept.
std::vector<std::string> SplitLines(const std::string& all) {
    std::vector<std::string> lines;
    size_t begin = 0;
    for (size_t at; (at = all.find('\n', begin)) != std::string::npos; begin = at + 1)
        lines.push_back(all.substr(begin, at - begin));
    if (begin < all.size()) lines.push_back(all.substr(begin));
    return lines;
}

}  // namespace

// The leaderboard's paths are relative: the fuzzer works in a scratch
// directory, whose leaderboard tree goes when it ends.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::EnterScratchDirectory(argc, argv);
    std::atexit([] { (void)!std::system("rm -rf Data"); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (lumetra::Leaderboard::ScoreDirectory("fuzz").empty()) std::abort();
    const std::string contents(reinterpret_cast<const char*>(data), size);
    if (std::FILE* f = std::fopen(kPath, "wb")) {
        std::fwrite(contents.data(), 1, contents.size(), f);
        std::fclose(f);
    } else {
        std::abort();
    }
    lumetra::Leaderboard board("fuzz");
    const std::vector<std::string> lines = board.Load();
    Check(!board.Failed(), "Load failed on a readable file");
    Check(lines == SplitLines(contents), "Load did not answer the file's lines");

    // A score and a name from the input itself: any width, any bytes but
    // line breaks.
    uint64_t bits = size * 7919U;
    for (size_t i = 0; i < std::min<size_t>(size, 8); ++i) bits = bits * 131U + data[i];
    const int64_t score = static_cast<int64_t>(bits);
    std::string name = contents.substr(0, std::min<size_t>(size, 12));
    name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == '\n' || c == '\r'; }), name.end());

    Check(board.AddScore(score, name), "AddScore failed");
    std::vector<std::string> expected = lines;
    expected.push_back(lumetra::Leaderboard::Entry(score, name));
    std::sort(expected.begin(), expected.end(), std::greater<std::string>());
    if (expected.size() > lumetra::Leaderboard::MaxEntries) expected.resize(lumetra::Leaderboard::MaxEntries);
    std::string written;
    for (const std::string& l : expected) written += l + "\n";
    Check(ReadAll(kPath) == written, "the file is not the ten best lines, sorted");
    // The score as eight characters: zero-filled, or its last eight digits.
    std::string digits = std::to_string(score);
    if (digits.size() < 8) digits.insert(0, 8 - digits.size(), '0');
    Check(lumetra::Leaderboard::Entry(score, name) == digits.substr(digits.size() - 8) + " " + name,
          "the entry is not eight score characters, a space and the name");
    return 0;
}

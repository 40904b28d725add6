// Arbitrary bytes as "Classifica.txt": Load must answer the file's lines exactly, and AddScore
// must leave a board that reads back sorted, at most ten lines, each one of the file's or the
// new entry, none left out better than one kept; or answer failure and leave the file as it was.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "lumetra/core/Log.h"
#include "lumetra/game/Leaderboard.h"
#include "lumetra/util/TextFile.h"

namespace {

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "leaderboard_fuzz: %s\n", what);
    std::abort();
}

const char* const kPath = "Data/fuzz/Score/Classifica.txt";  // in the ctest working folder

std::string Contents() {
    std::ifstream file(kPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using lumetra::Leaderboard;
    lumetra::SetLogFile("");  // refusals are log lines: none written, none echoed
    lumetra::SetLogEcho(false);
    const std::string contents(reinterpret_cast<const char*>(data), size);
    Check(!Leaderboard::ScoreDirectory("fuzz").empty() && std::ofstream(kPath, std::ios::binary)
                                                              << contents,
          "no file");
    Leaderboard board("fuzz");
    const std::vector<std::string> lines = board.Load();
    const bool tooLarge = size > lumetra::TextFile::MaxReadBytes;
    Check(board.Failed() == tooLarge, "Load failed on a readable file, or read one too large");
    if (tooLarge) return 0;
    // The lines split at "\n", a last one without it kept.
    std::vector<std::string> split;
    for (size_t begin = 0, at; begin < size; begin = at + 1) {
        at = std::min(contents.find('\n', begin), size);
        split.push_back(contents.substr(begin, at - begin));
    }
    Check(lines == split, "Load did not answer the file's lines");

    // A score and a name from the input itself: any width, any bytes but line breaks.
    uint64_t bits = size * 7919U;
    for (size_t i = 0; i < std::min<size_t>(size, 8); ++i) bits = bits * 131U + data[i];
    const int64_t score = static_cast<int64_t>(bits);
    std::string name = contents.substr(0, std::min<size_t>(size, 12));
    name.erase(
        std::remove_if(name.begin(), name.end(), [](char c) { return c == '\n' || c == '\r'; }),
        name.end());
    std::multiset<std::string> offered(lines.begin(), lines.end());
    offered.insert(Leaderboard::Entry(score, name));
    if (!board.AddScore(score, name)) {
        // Only a board too long to read back is refused.
        Check(Contents() == contents, "a refused score changed the file");
        Check(size + name.size() + 11 > lumetra::TextFile::MaxReadBytes, "a short board refused");
        return 0;
    }
    Leaderboard again("fuzz");
    const std::vector<std::string> kept = again.Load();
    Check(!again.Failed(), "the board written does not read back");
    Check(kept.size() <= Leaderboard::MaxEntries, "more than ten lines");
    Check(std::is_sorted(kept.begin(), kept.end(), std::greater<std::string>()), "not sorted");
    for (const std::string& line : kept) {
        const auto found = offered.find(line);
        Check(found != offered.end(), "a line neither in the file nor the new entry");
        offered.erase(found);
    }
    for (const std::string& left : offered)
        Check(kept.size() == Leaderboard::MaxEntries && left <= kept.back(), "a better line lost");
    return 0;
}

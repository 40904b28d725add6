// Number formatting, trimming and splitting of strings.
#include "lumetra/util/Strings.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>

namespace lumetra {

namespace {
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
}  // namespace

std::string IntToString(int64_t value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%" PRId64, value);
    return buf;
}

std::string IntToString(int64_t value, char fill, size_t width) {
    return PadLeft(IntToString(value), fill, width);
}

std::string PadLeft(const std::string& text, char fill, size_t width) {
    if (text.size() >= width) return text;
    return std::string(width - text.size(), fill) + text;
}

std::string ByteToHex(int value) {
    static const char digits[] = "0123456789ABCDEF";
    const unsigned b = static_cast<unsigned>(value) & 0xFFU;
    return {digits[b >> 4], digits[b & 0xFU]};
}

std::string ToUpper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text) {
    size_t b = 0;
    while (b < text.size() && IsSpace(text[b])) ++b;
    size_t e = text.size();
    while (e > b && IsSpace(text[e - 1])) --e;
    return text.substr(b, e - b);
}

std::string TrimRight(const std::string& text) {
    size_t e = text.size();
    while (e > 0 && IsSpace(text[e - 1])) --e;
    return text.substr(0, e);
}

std::string ReplaceAll(const std::string& text, const std::string& what, const std::string& with) {
    if (what.empty() || with.find(what) != std::string::npos) return text;
    std::string out = text;
    // Searching again from the start is what makes replacements that create a
    // new occurrence together with their neighbours disappear as well.
    for (size_t at = out.find(what); at != std::string::npos; at = out.find(what))
        out.replace(at, what.size(), with);
    return out;
}

std::vector<std::string> Split(const std::string& text, const std::string& delimiter) {
    std::vector<std::string> pieces;
    if (text.empty() || delimiter.empty()) return pieces;
    size_t pos = 0;
    for (size_t at = text.find(delimiter, pos); at != std::string::npos;
         at = text.find(delimiter, pos)) {
        pieces.push_back(text.substr(pos, at - pos));
        pos = at + delimiter.size();
    }
    if (pos < text.size()) pieces.push_back(text.substr(pos));
    return pieces;
}

}  // namespace lumetra

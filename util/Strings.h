// Small string and number helpers shared across the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumetra {

std::string IntToString(int64_t value);
std::string IntToString(int64_t value, char fill, size_t width);
std::string PadLeft(const std::string& text, char fill, size_t width);
std::string ByteToHex(int value);
std::string ToUpper(std::string text);
std::string Trim(const std::string& text);
std::string TrimRight(const std::string& text);
// Replaces until no occurrence of `what` remains. An empty `what`, or a
// `with` that contains `what`, would never finish: the text comes back as is.
std::string ReplaceAll(const std::string& text, const std::string& what, const std::string& with);
std::vector<std::string> Split(const std::string& text, const std::string& delimiter);

}  // namespace lumetra

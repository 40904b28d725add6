// The maker's own texts: the web address (a reserved example domain, so the
// link never reaches a stranger), the copyright line and the notice.
#pragma once

namespace lumetra {

inline constexpr const char* kWebAddress = "https://www.lumetra.example";
inline constexpr const char* kCopyright = "Copyright (C) 2026 The Lumetra developers";
inline constexpr const char* kNoticeLine = "Free software, distributed at no cost";
inline constexpr const char* kProductLine = "Lumetra 1.0.0.0";
// 82 characters, one line feed after the first sentence.
inline constexpr const char* kNotice =
    "This program is free of charge.\nYou may copy it and give it away without any fees.";

}  // namespace lumetra

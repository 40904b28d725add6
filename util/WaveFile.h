// How long a WAV sound plays, read from its header without trusting it.
#pragma once

#include <cstdint>
#include <string>

namespace lumetra {

// The length in milliseconds of the sound in the WAV file at path, from the
// data chunk's size (at most what the file holds) and the format chunk's
// byte rate; -1 when the header cannot be read.
int64_t WaveMillis(const std::string& path);

}  // namespace lumetra

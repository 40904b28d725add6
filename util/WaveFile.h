// How long a WAV sound plays, read from its header without trusting it.
#pragma once

#include <cstdint>
#include <string>

namespace lumetra {

// A header may claim any length; no sound a program of this kind plays is
// near a minute, so a longer claim counts as a minute.
constexpr int64_t kMaxWaveMillis = 60000;

// The length in milliseconds of the sound in the WAV file at path: the data
// chunk's size (at most what the file holds) over the bytes per second that
// the sample rate and the block size give, at most kMaxWaveMillis. -1 when
// the header cannot be read, or its byte rate disagrees with those two, or
// either is zero.
int64_t WaveMillis(const std::string& path);

}  // namespace lumetra

#pragma once

#include <array>

namespace melovantis {

// The analysis frame lengths, ascending. Every length is a product of the
// primes 2, 3, 5, 7, 11 and 13, so the transforms of the frame and of its
// half stay fast.
inline constexpr int kFrameLengthCount = 109;
extern const std::array<int, kFrameLengthCount> frameLengthTable;

// The frame length of the settings wizard's examination run.
inline constexpr int kLargeFrameLength = 7840;

// The frame length for a time resolution: the largest table entry below
// timeResolutionMs x 44.1 samples, or the shortest entry when none is below.
int frameLengthForMs(int timeResolutionMs);

}  // namespace melovantis

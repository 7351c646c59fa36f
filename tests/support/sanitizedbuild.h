#pragma once

// The address sanitizer checks every access and maps each large block
// afresh, so work with big buffers (a window's repaint, a line of
// megabytes) runs several times slower: bounds meant to tell a freeze from
// slow work stretch by this factor, and a measure of CPU spent at rest is
// no measure there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizedBuild = true;
inline constexpr int kSanitizedSlowdown = 3;
#else
inline constexpr bool kAddressSanitizedBuild = false;
inline constexpr int kSanitizedSlowdown = 1;
#endif

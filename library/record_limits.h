#pragma once
// How long an address may be: the record writer's working buffers hold an address of at most
// 499 bytes and its terminating NUL. Longer addresses are not written.
#include <cstddef>

#include "library/anchor_opening.h"

namespace quillon {

inline constexpr int UrlBufferSize = 500;
// The longest address a record holds, without its CR LF.
inline constexpr size_t kLongestAddress = UrlBufferSize - 1;
// The bytes after the scheme that decide an address: past them it is too long to be written,
// unless a NUL among them ends it first.
inline constexpr size_t kKeptAddressBytes = UrlBufferSize - kSchemeLength;

}  // namespace quillon

// Callers build the strings they hand over with QuillonStringHeader; the run adopts them as the
// framework's own blocks. The two descriptions must not drift apart.
#include <cstddef>
#include <type_traits>

#include "framework/string_heap.h"
#include "library/quillon.h"

static_assert(sizeof(StringBlockHeader) == sizeof(QuillonStringHeader));
static_assert(alignof(StringBlockHeader) == alignof(QuillonStringHeader));
static_assert(offsetof(StringBlockHeader, length) == offsetof(QuillonStringHeader, length));
static_assert(offsetof(StringBlockHeader, capacity) == offsetof(QuillonStringHeader, capacity));
static_assert(
    std::is_same_v<decltype(StringBlockHeader::length), decltype(QuillonStringHeader::length)>);
static_assert(
    std::is_same_v<decltype(StringBlockHeader::capacity), decltype(QuillonStringHeader::capacity)>);

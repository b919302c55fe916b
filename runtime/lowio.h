#pragma once
// The Windows C run-time's low-level file functions, as the library uses them, over POSIX.
// They live in namespace crt because names with a leading underscore are the C library's own
// at global scope here. Handles are POSIX descriptors; -1 means failure, with errno set.
#include <cstdint>

namespace crt {

// Flag and permission values of the Windows run-time, which is what callers pass.
inline constexpr int _O_RDONLY = 0x0000;
inline constexpr int _O_WRONLY = 0x0001;
inline constexpr int _O_RDWR = 0x0002;
inline constexpr int _O_APPEND = 0x0008;
inline constexpr int _O_CREAT = 0x0100;
inline constexpr int _O_TRUNC = 0x0200;
inline constexpr int _O_EXCL = 0x0400;
inline constexpr int _O_TEXT = 0x4000;
inline constexpr int _O_BINARY = 0x8000;
inline constexpr int _S_IREAD = 0x0100;
inline constexpr int _S_IWRITE = 0x0080;

// Opens `path`. `permission` matters only with _O_CREAT: _S_IWRITE makes a new file writable,
// without it the new file is read-only. Text and binary mode are the same here (no newline
// translation). A directory cannot be opened (EACCES), as on Windows; nor, for writing, a file
// without any write permission (Windows' read-only attribute), not even by the super-user.
int _open(const char* path, int flags, int permission = 0);
// Reads up to `count` bytes: the number read, 0 at the end of the file, -1 on failure.
int _read(int handle, void* buffer, unsigned count);
// Writes `count` bytes: the number written (possibly fewer), -1 on failure.
int _write(int handle, const void* buffer, unsigned count);
// Moves the file position; the new position, or -1 (position unchanged) on failure.
long _lseek(int handle, long offset, int origin);
// The same with 64-bit positions, for files of 2 GiB and more.
long long _lseeki64(int handle, long long offset, int origin);
// 1 when the position is at or past the end of the file, 0 before it, -1 when the handle fails.
int _eof(int handle);
// 0, or -1 when the handle is not open.
int _close(int handle);
// Makes the file `size` bytes long, cutting it or adding NUL bytes; the position stays. 0, or
// -1 on failure.
int _chsize(int handle, long size);
// The operating system's handle behind `handle`, for the calls that take one; -1 when it is not
// open.
intptr_t _get_osfhandle(int handle);
// Writes `value` in base `radix` (2 to 36) into `buffer`, NUL-terminated; returns `buffer`.
// Negative values carry a minus sign only in base 10, as the Windows run-time does.
char* _itoa(int value, char* buffer, int radix);

}  // namespace crt

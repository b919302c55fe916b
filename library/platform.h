#pragma once
// The C run-time and user-interface calls of the library, by their Windows names: the real
// ones on Windows (msvcrt.dll, USER32), the stand-ins of runtime/ elsewhere.
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <stdlib.h>
#include <sys/stat.h>
#else
#include "runtime/file_information.h"
#include "runtime/lowio.h"
#include "runtime/message_box.h"
#include "runtime/process.h"

namespace quillon {
using crt::_chsize;
using crt::_close;
using crt::_eof;
using crt::_get_osfhandle;
using crt::_itoa;
using crt::_lseeki64;
using crt::_O_BINARY;
using crt::_O_CREAT;
using crt::_O_RDONLY;
using crt::_O_RDWR;
using crt::_O_TRUNC;
using crt::_open;
using crt::_P_WAIT;
using crt::_read;
using crt::_S_IWRITE;
using crt::_spawnl;
using crt::_write;
using crt::BY_HANDLE_FILE_INFORMATION;
using crt::GetFileInformationByHandle;
using crt::HANDLE;
using crt::HWND;
using crt::MB_ICONEXCLAMATION;
using crt::MB_OK;
using crt::MB_YESNO;
using crt::MessageBoxA;
using crt::PresentOnStandardError;
}  // namespace quillon
#endif
#include <cerrno>
#include <cstdio>

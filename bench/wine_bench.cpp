// wine_bench DLL INPUT OUTPUT [RUNS]
// Loads the extraction library DLL, silences its message boxes, runs the export RUNS times
// (default 5) on INPUT and prints
//   bytes=N runs=N median_seconds=S mbps=M cpu_seconds=C cpu_mbps=M boxes=N floor_mbps=M opens=N
// where the time of each run is taken around the export call alone (QueryPerformanceCounter),
// the processor time of the calling thread likewise (GetThreadTimes, user and kernel), and
// MB/s counts 1,000,000 bytes of INPUT per second of the median run. The floor counts every
// "<" as bench/memchr_scan.c does, but with the library's own sixteen-byte search (the one
// the DLL scans with), run here so that it pays what the DLL pays for Wine and any emulation
// (median of RUNS too; opens is its count).
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "library/byte_masks.h"
#include "library/sse2.h"
#include "library/quillon.h"

namespace {

using SearchFunction = void(__stdcall*)(QuillonString, QuillonString, QuillonString, QuillonString,
                                        QuillonString, QuillonString, QuillonString, QuillonString);

long g_boxes = 0;

// Stands in for MessageBoxA: the run opens a box on every call, and nobody is there to
// answer it.
int WINAPI SilentMessageBox(HWND, LPCSTR, LPCSTR, UINT) {
  ++g_boxes;
  return IDYES;
}

bool IsMessageBoxImport(BYTE* base, const IMAGE_THUNK_DATA* name, FARPROC bound, FARPROC real) {
  if (real != nullptr && bound == real) return true;
  if (name == nullptr || IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) return false;
  const auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
  return std::strcmp(reinterpret_cast<const char*>(by_name->Name), "MessageBoxA") == 0;
}

// Points every slot of `module`'s import address table that holds USER32's MessageBoxA at
// SilentMessageBox. Returns the number of slots changed.
int SilenceMessageBoxes(HMODULE module) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return 0;
  HMODULE user32 = GetModuleHandleA("user32.dll");
  FARPROC real = user32 != nullptr ? GetProcAddress(user32, "MessageBoxA") : nullptr;
  int changed = 0;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name != 0; ++entry) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), "user32.dll") != 0) continue;
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    auto* name = entry->OriginalFirstThunk != 0
                     ? reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk)
                     : nullptr;
    for (; slot->u1.Function != 0; ++slot, name = name != nullptr ? name + 1 : nullptr) {
      if (!IsMessageBoxImport(base, name, reinterpret_cast<FARPROC>(slot->u1.Function), real)) {
        continue;
      }
      DWORD protection = 0;
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(&SilentMessageBox);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
      ++changed;
    }
  }
  return changed;
}

// User and kernel time of the calling thread so far, in seconds.
double ThreadSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  auto ticks = [](const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

struct FloorScan {
  double seconds = 0;
  unsigned long long opens = 0;
};

// Counts every "<" of `path`, reading 1 MiB at a time.
FloorScan ScanFloor(const char* path) {
  static char buffer[1 << 20];
  FloorScan scan;
  LARGE_INTEGER frequency, start, stop;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const int file = _open(path, _O_RDONLY | _O_BINARY);
  if (file < 0) return scan;
  int got;
  while ((got = _read(file, buffer, sizeof buffer)) > 0) {
    const auto* at = reinterpret_cast<const unsigned char*>(buffer);
    const auto* end = at + got;
    while ((at = (quillon::HasSse2() ? quillon::FindByteWide(at, end, '<')
                                     : quillon::FindBytePlain(at, end, '<'))) != end) {
      ++scan.opens;
      ++at;
    }
  }
  _close(file);
  QueryPerformanceCounter(&stop);
  scan.seconds = static_cast<double>(stop.QuadPart - start.QuadPart) / frequency.QuadPart;
  return scan;
}

SearchFunction FindExport(HMODULE module) {
  for (const char* name : {"_BEGIN_SEARCH_ADD@32", "BEGIN_SEARCH_ADD@32", "BEGIN_SEARCH_ADD"}) {
    if (FARPROC found = GetProcAddress(module, name)) {
      return reinterpret_cast<SearchFunction>(reinterpret_cast<void*>(found));
    }
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc > 5) {
    std::fprintf(stderr, "usage: wine_bench DLL INPUT OUTPUT [RUNS]\n");
    return 2;
  }
  const int runs = argc == 5 ? std::atoi(argv[4]) : 5;
  WIN32_FILE_ATTRIBUTE_DATA input_data;
  if (runs < 1 || !GetFileAttributesExA(argv[2], GetFileExInfoStandard, &input_data)) {
    std::fprintf(stderr, "wine_bench: bad run count or missing input %s\n", argv[2]);
    return 2;
  }
  const double bytes =
      static_cast<double>(input_data.nFileSizeHigh) * 4294967296.0 + input_data.nFileSizeLow;
  HMODULE library = LoadLibraryA(argv[1]);
  if (library == nullptr) {
    std::fprintf(stderr, "wine_bench: cannot load %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  SearchFunction search = FindExport(library);
  if (search == nullptr) {
    std::fprintf(stderr, "wine_bench: %s has no BEGIN_SEARCH_ADD export\n", argv[1]);
    return 1;
  }
  if (SilenceMessageBoxes(library) == 0) {
    // Without the patch the first box would wait for ever.
    std::fprintf(stderr, "wine_bench: %s does not import MessageBoxA\n", argv[1]);
    return 1;
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> seconds;
  std::vector<double> cpu_seconds;
  for (int run = 0; run < runs; ++run) {
    const QuillonString none = {nullptr};
    const QuillonString input = QuillonMakeText(argv[2]);
    const QuillonString output = QuillonMakeText(argv[3]);
    LARGE_INTEGER start, stop;
    const double cpu_start = ThreadSeconds();
    QueryPerformanceCounter(&start);
    search(input, output, none, none, none, none, none, none);
    QueryPerformanceCounter(&stop);
    cpu_seconds.push_back(ThreadSeconds() - cpu_start);
    seconds.push_back(static_cast<double>(stop.QuadPart - start.QuadPart) / frequency.QuadPart);
  }
  std::vector<double> floor_seconds;
  unsigned long long opens = 0;
  for (int run = 0; run < runs; ++run) {
    const FloorScan scan = ScanFloor(argv[2]);
    floor_seconds.push_back(scan.seconds);
    opens = scan.opens;
  }
  std::sort(floor_seconds.begin(), floor_seconds.end());
  const double floor_median = floor_seconds[floor_seconds.size() / 2];
  std::sort(seconds.begin(), seconds.end());
  std::sort(cpu_seconds.begin(), cpu_seconds.end());
  const double median = seconds[seconds.size() / 2];
  const double cpu_median = cpu_seconds[cpu_seconds.size() / 2];
  std::printf(
      "bytes=%.0f runs=%d median_seconds=%.6f mbps=%.1f cpu_seconds=%.3f cpu_mbps=%.1f boxes=%ld "
      "floor_mbps=%.1f opens=%llu\n",
      bytes, runs, median, bytes / median / 1e6, cpu_median,
      cpu_median > 0 ? bytes / cpu_median / 1e6 : 0.0, g_boxes, bytes / floor_median / 1e6, opens);
  return 0;
}

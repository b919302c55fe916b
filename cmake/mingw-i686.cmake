# 32-bit Windows through Debian's MinGW-w64 cross compilers (posix thread model, which
# GoogleTest needs for std::mutex). Everything from the compiler's own run-time (libgcc,
# libstdc++, winpthread) is linked in statically, so the DLL and the test programs import
# system DLLs only. Programs built here run under Wine through scripts/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(QUILLON_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLON_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLON_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLON_MINGW_PREFIX}-windres)
set(CMAKE_DLLTOOL ${QUILLON_MINGW_PREFIX}-dlltool)
set(CMAKE_OBJDUMP ${QUILLON_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLON_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static picks the static winpthread; system import libraries stay import libraries.
# Every image may be loaded at any address (its base relocations are kept for that) and its
# data is never executable; some linkers set neither unless asked.
set(QUILLON_PE_LINK_FLAGS "-static -static-libgcc -static-libstdc++ -Wl,--dynamicbase,--nxcompat")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${QUILLON_PE_LINK_FLAGS}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${QUILLON_PE_LINK_FLAGS}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${QUILLON_PE_LINK_FLAGS}")

# Windows looks for a program's DLLs in the program's own folder first: keep them together.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

get_filename_component(QUILLON_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLON_SOURCE_ROOT}/scripts/wine-run.sh)

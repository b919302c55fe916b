# find_package(quillon) gives the imported target quillon::quillon: libquillon.so and quillon.h.
include(${CMAKE_CURRENT_LIST_DIR}/quillonTargets.cmake)

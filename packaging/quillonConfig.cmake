# find_package(quillon) gives the imported target quillon::quillon: libquillon.so, quillon.h
# and quillon_engine.h.
include(${CMAKE_CURRENT_LIST_DIR}/quillonTargets.cmake)

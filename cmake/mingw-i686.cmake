# 32-bit Windows (PE32, i386) with MinGW-w64.
set(MINGW_TRIPLET i686-w64-mingw32)
set(MINGW_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

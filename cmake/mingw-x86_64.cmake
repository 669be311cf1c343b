# 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(HOSTDECK_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Clang for the i686 MinGW-w64 target, a second compiler over the same headers and libraries as GCC's:
# GCC's MinGW C++ library headers and static libraries, lld as the linker.
set(VEXA_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw.cmake)

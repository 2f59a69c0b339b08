# Clang for the x86_64 MinGW-w64 target (see clang-mingw.cmake).
set(VEXA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw.cmake)

# Shared by the clang MinGW-w64 toolchains: VEXA_MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${VEXA_MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${VEXA_MINGW_TRIPLE})
set(CMAKE_RC_COMPILER ${VEXA_MINGW_TRIPLE}-windres)
set(gcc_dir /usr/lib/gcc/${VEXA_MINGW_TRIPLE}/12-posix)
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${gcc_dir}/include/c++ -isystem ${gcc_dir}/include/c++/${VEXA_MINGW_TRIPLE} -isystem ${gcc_dir}/include/c++/backward")
# GCC links the posix thread model's winpthread by itself; clang is told (lld takes libraries in any order).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${gcc_dir} -lpthread")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld -L${gcc_dir} -lpthread")
set(CMAKE_FIND_ROOT_PATH /usr/${VEXA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

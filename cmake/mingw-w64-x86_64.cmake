# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# Programs are linked statically (C++ runtime, libgcc, winpthread included), so that they
# run under Wine or on Windows without the compiler's DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SCRIVO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SCRIVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SCRIVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SCRIVO_MINGW_TRIPLE}-windres)

# Headers, libraries and CMake packages of the target only; the host's tools.
set(CMAKE_FIND_ROOT_PATH /usr/${SCRIVO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

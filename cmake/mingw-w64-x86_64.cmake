# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         [-DCMAKE_PREFIX_PATH=$(scripts/windows-deps)]
# Without the prefix of cross-built dependencies, only the Qt-free libraries and their
# tests are built; with it, the whole program and its tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SCRIVO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SCRIVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SCRIVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SCRIVO_MINGW_TRIPLE}-windres)

# Headers, libraries and CMake packages of the target only (the compiler's own root and
# the prefixes named on CMAKE_PREFIX_PATH, which are roots of their own); the host's tools.
set(CMAKE_FIND_ROOT_PATH /usr/${SCRIVO_MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A cross-built Qt takes its code generators (moc, rcc, uic) from the host's Qt of the
# same version: Debian's.
set(QT_HOST_PATH /usr CACHE PATH "Host Qt for the code generators")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Host Qt's CMake packages")

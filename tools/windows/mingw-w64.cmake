# CMake toolchain for Debian's mingw-w64 cross compilers (64-bit Windows).
# The posix thread model is required: Qt uses std::thread / std::mutex, which
# the win32-thread variant of Debian's mingw-w64 g++ does not provide.
# Qt's own build uses this file; a project built against that Qt does not name
# it: the installed qt.toolchain.cmake chainloads the copy kept in the cache.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER  ${_mingw}-windres)

# Look for target headers/libraries only in the mingw sysroot (plus whatever
# qt.toolchain.cmake appends), but run build programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Cross-compiling for 64-bit Windows with Debian's mingw-w64 compilers. Runtime libraries are linked
# statically, so the executables and the DLL need nothing beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model: its libstdc++ has std::mutex and std::thread, which GoogleTest needs.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread inside every executable and DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Programs built here run under Wine (tests, and the discovery of their cases).
# The 64-bit loader itself: Debian's wine script would pick the 32-bit one when it is installed.
find_program(VMG_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VMG_WINE wine)
if(VMG_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VMG_WINE})
endif()

# What both mingw-w64 toolchain files share; they set VMG_MINGW_ARCH (i686 or x86_64) first.
# Our own executables and DLL link the compiler's runtime statically (on i686 but for libgcc in
# the programs that load Qt); the Qt DLLs that the wizard loads bring their own copy of it
# (cmake/WindowsQtRuntime.cmake puts them beside the program).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VMG_MINGW_ARCH})

# The posix thread model: its libstdc++ has std::mutex and std::thread, which GoogleTest needs.
set(CMAKE_C_COMPILER ${VMG_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${VMG_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${VMG_MINGW_ARCH}-w64-mingw32-windres)

# The Windows Qt (CMAKE_PREFIX_PATH names it, unpacked by tools/unpack-qt-windows.sh) must be
# a root path itself, or its packages would be looked for under the mingw-w64 root only.
set(CMAKE_FIND_ROOT_PATH /usr/${VMG_MINGW_ARCH}-w64-mingw32 ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A cross build's moc, rcc and uic are Debian's own (qt6-base-dev-tools, the same Qt version);
# Debian keeps their CMake packages in its multiarch folder, which Qt would not guess.
set(QT_HOST_PATH /usr)
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH
    OUTPUT_VARIABLE vmg_build_multiarch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT vmg_build_multiarch)
    set(vmg_build_multiarch x86_64-linux-gnu)
endif()
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${vmg_build_multiarch}/cmake)

# Release at -O2: GCC 12's -O3 warns falsely (-Wrestrict) inside std::string, and warnings are
# errors in our builds.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")

# libgcc, libstdc++ and winpthread inside every DLL, and inside every executable but, on i686,
# those that load Qt (the top-level CMakeLists chooses those, VMG_QT_PROGRAMS_SHARE_LIBGCC).
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
if(VMG_MINGW_ARCH STREQUAL "i686")
    set(VMG_QT_PROGRAMS_SHARE_LIBGCC ON)
else()
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()

# Cross-compiling for 64-bit Windows with Debian's mingw-w64 compilers.
set(VMG_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwW64.cmake)

# Programs built here run under Wine (tests, and the discovery of their cases).
# The 64-bit loader itself: Debian's wine script would pick the 32-bit one when it is installed.
find_program(VMG_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VMG_WINE wine)
if(VMG_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VMG_WINE})
endif()

# Cross-compiling for 32-bit Windows with Debian's mingw-w64 compilers.
set(VMG_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/MingwW64.cmake)

# Programs built here run under Wine (tests, and the discovery of their cases).
find_program(VMG_WINE wine)
if(VMG_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VMG_WINE})
endif()

# GoogleTest: Debian's installed build natively; when cross-compiling, built here from Debian's
# sources (/usr/src/googletest) with the same toolchain. Either way GTest::gtest and
# GTest::gtest_main are there to link.
if(NOT CMAKE_CROSSCOMPILING)
    find_package(GTest REQUIRED)
    return()
endif()

set(VMG_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, for cross builds")
if(NOT EXISTS ${VMG_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${VMG_GTEST_SOURCE} (Debian package googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
# Our own warning flags are not GoogleTest's: build it with its own.
get_directory_property(vmg_own_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${VMG_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${vmg_own_options}")
if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
endif()

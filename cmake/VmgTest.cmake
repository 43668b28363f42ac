# vmg_add_test(NAME [OWN_MAIN] SOURCES ... LIBS ...): one GoogleTest binary, its cases registered
# with ctest. OWN_MAIN is for tests that bring a main() of their own (the GUI tests need a
# QApplication before the first case).
function(vmg_add_test name)
    cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
    if(NOT ARG_OWN_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    if(CMAKE_CROSSCOMPILING)
        # Under an emulator (Wine) each start is costly: one ctest test per binary, all cases.
        add_test(NAME ${name} COMMAND ${name})
        return()
    endif()
    # Cases are listed when ctest runs, so a build never executes test code.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

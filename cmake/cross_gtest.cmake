# SPDX-License-Identifier: MIT
# GoogleTest for a cross build: Debian ships its sources (package googletest) but no
# libraries for other targets, so they are built here with the project's compiler.
set(LUMO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Our warning flags are not GoogleTest's concern.
add_subdirectory(${LUMO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gtest_main gmock gmock_main)
    if(TARGET ${lib} AND NOT TARGET GTest::${lib})
        target_compile_options(${lib} PRIVATE -w)
        add_library(GTest::${lib} ALIAS ${lib})
    endif()
endforeach()

# Each test program runs as one test under the emulator: listing its cases would start
# it once at build time and once per case, and every start of a Windows program under
# Wine costs a good part of a second.
function(gtest_discover_tests target)
    add_test(NAME ${target} COMMAND ${target})
    if(COMMAND lumo_collect_dlls)
        lumo_collect_dlls(${target})
    endif()
endfunction()

# Flags and helpers shared by every target of the project.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

# ANSI functions throughout. The shipped binaries are declared against Windows XP, the oldest system
# they must load on; helpers that only ever run under Wine (tests, test drivers, benchmarks) use the
# Windows 7 declarations through use_test_platform().
set(SHIPPED_WINNT 0x0501)
set(TEST_WINNT 0x0601)
add_compile_definitions(_WIN32_WINNT=${SHIPPED_WINNT} WINVER=${SHIPPED_WINNT} NOMINMAX STRICT)

function(use_test_platform target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:C,CXX>:-U_WIN32_WINNT -UWINVER -D_WIN32_WINNT=${TEST_WINNT} -DWINVER=${TEST_WINNT}>)
endfunction()
add_compile_options(-Wall -Wextra -Werror)
# Fully static C and C++ runtimes (libgcc, libstdc++, libwinpthread).
add_link_options(-static -static-libgcc -static-libstdc++)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(PROJECT_BITS 32)
else()
  set(PROJECT_BITS 64)
endif()

# GoogleTest from Debian's sources, built once per toolchain.
set(GTEST_SRC /usr/src/googletest/googletest)
if(EXISTS ${GTEST_SRC}/src/gtest-all.cc AND NOT TARGET gtest)
  add_library(gtest STATIC ${GTEST_SRC}/src/gtest-all.cc)
  target_include_directories(gtest SYSTEM PUBLIC ${GTEST_SRC}/include PRIVATE ${GTEST_SRC})
  target_compile_options(gtest PRIVATE -w)
  add_library(gtest_main STATIC ${GTEST_SRC}/src/gtest_main.cc)
  target_include_directories(gtest_main SYSTEM PRIVATE ${GTEST_SRC}/include)
  target_link_libraries(gtest_main PUBLIC gtest)
endif()

# add_wine_test(NAME SOURCES... [LIBS ...] [WINDOWS_VERSIONS] [KERNEL_DRIVERS]): one GoogleTest
# program per suite, linked with the shared test support (tests/support/testlib) and run through the
# Wine emulator. WINDOWS_VERSIONS marks a suite whose programs branch on the Windows version: the
# test run's matrix also runs it under Windows XP (label windows-version). KERNEL_DRIVERS marks one
# that loads the tests' 64-bit kernel drivers, which 32-bit Windows cannot (label kernel-driver).
function(add_wine_test name)
  cmake_parse_arguments(T "WINDOWS_VERSIONS;KERNEL_DRIVERS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE gtest_main test_support ${T_LIBS})
  use_test_platform(${name})
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
    set(labels)
    if(T_WINDOWS_VERSIONS)
      list(APPEND labels windows-version)
    endif()
    if(T_KERNEL_DRIVERS)
      list(APPEND labels kernel-driver)
    endif()
    if(labels)
      set_tests_properties(${name} PROPERTIES LABELS "${labels}")
    endif()
  endif()
endfunction()

# Programs, the driver DLL and the test programs side by side, so a test finds what it loads.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The version as the binaries carry it (padwise_version.h, included by the .rc files and the
# manifests). The About box shows the short form: major.minor and the patch as a letter, so 1.10.0
# reads "1.10a" and 1.10.1 "1.10b".
set(PADWISE_PUBLISHER "Orvane")
set(PADWISE_COPYRIGHT "Copyright (C) 2026 ${PADWISE_PUBLISHER}")
math(EXPR patch_letter "97 + ${PROJECT_VERSION_PATCH}")
string(ASCII ${patch_letter} patch_letter)
set(PADWISE_SHORT_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}${patch_letter}")
set(PADWISE_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/resources/padwise_version.h.in ${PADWISE_GENERATED_DIR}/padwise_version.h)
foreach(manifest profiler fitkit)
  configure_file(${PROJECT_SOURCE_DIR}/resources/${manifest}.manifest
                 ${PADWISE_GENERATED_DIR}/manifest/${manifest}.manifest @ONLY)
endforeach()
include_directories(${PADWISE_GENERATED_DIR})

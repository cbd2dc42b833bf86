# Shared build settings and helpers for the game's libraries, tools and tests.

add_library(quolis_options INTERFACE)
target_compile_options(quolis_options INTERFACE -Wall -Wextra)
if(QUOLIS_WERROR)
    target_compile_options(quolis_options INTERFACE -Werror)
endif()
if(QUOLIS_SANITIZE)
    target_compile_options(quolis_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                    -fno-sanitize-recover=undefined)
    target_link_options(quolis_options INTERFACE -fsanitize=address,undefined)
endif()
if(QUOLIS_FUZZ)
    target_compile_options(quolis_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                    -fno-omit-frame-pointer)
    target_link_options(quolis_options INTERFACE -fsanitize=address,undefined)
endif()
target_include_directories(quolis_options INTERFACE ${CMAKE_SOURCE_DIR}/src)

# quolis_library(NAME DIR [DEPS ...]): one static library from every .cpp of DIR
# (not recursing into sub-folders).
function(quolis_library name dir)
    cmake_parse_arguments(Q "" "" "DEPS" ${ARGN})
    file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(srcs)
        add_library(${name} STATIC ${srcs})
        target_link_libraries(${name} PUBLIC quolis_options ${Q_DEPS})
    else()
        # Headers only so far.
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE quolis_options ${Q_DEPS})
    endif()
endfunction()

# Every test has a time limit, so a hang fails in a minute or two instead of
# holding the run for ctest's default 25 minutes. The limits are several times
# the slowest run seen under the sanitizers on a busy two-core machine (16 s
# for the slowest GoogleTest case).
set(QUOLIS_TEST_TIMEOUT 90) # seconds, one GoogleTest case

# quolis_test(NAME DIR [DEPS ...]): one GoogleTest program from every .cpp of DIR.
function(quolis_test name dir)
    cmake_parse_arguments(Q "" "" "DEPS" ${ARGN})
    file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(NOT srcs)
        return()
    endif()
    add_executable(${name} ${srcs})
    target_link_libraries(${name} PRIVATE quolis_options ${Q_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE QUOLIS_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                               QUOLIS_BINARY_DIR="${CMAKE_BINARY_DIR}")
    # One value per property: a list value (several environment variables)
    # would be split into separate arguments by the discovery step and its
    # tail read as property names.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT ${QUOLIS_TEST_TIMEOUT}
                                    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endfunction()

# quolis_fuzzer(NAME SOURCE [DEPS ...])
function(quolis_fuzzer name source)
    cmake_parse_arguments(Q "" "" "DEPS" ${ARGN})
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE quolis_options ${Q_DEPS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()

# quolis_bench(NAME SOURCE [DEPS ...])
function(quolis_bench name source)
    cmake_parse_arguments(Q "" "" "DEPS" ${ARGN})
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE quolis_options ${Q_DEPS} benchmark::benchmark)
endfunction()

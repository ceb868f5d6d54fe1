# Linux build: the logic library and its unit tests, under the address and undefined-behaviour sanitizers. The
# 32-bit build (preset host32) leaves the sanitizers out, since it may run under emulation (qemu-i386), and builds
# GoogleTest from Debian's sources, whose library is 64-bit only.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(sanitize)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(gtest_main gtest_main)
else()
    set(sanitize -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    find_package(GTest REQUIRED)
    set(gtest_main GTest::gtest_main)
endif()
target_compile_options(kelvad_logic PRIVATE ${sanitize})
target_link_options(kelvad_logic PUBLIC ${sanitize})

enable_testing()
include(GoogleTest)

file(GLOB host_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
# The plug-ins' decoders are plain C++ too and are tested here with the logic.
file(GLOB format_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/plugins/formats/*.cpp)
file(GLOB plugin_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/plugins/*.cpp)
list(FILTER plugin_sources EXCLUDE REGEX "_win\\.cpp$")
add_executable(kelvad_host_tests ${host_tests} ${format_sources} ${plugin_sources})
target_compile_options(kelvad_host_tests PRIVATE ${KELVAD_WARNINGS} ${KELVAD_CHARSET} ${sanitize})
target_link_libraries(kelvad_host_tests PRIVATE kelvad_logic ${gtest_main})
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # scripts/test runs the 32-bit program itself, natively or through qemu-i386.
    return()
endif()
gtest_discover_tests(kelvad_host_tests DISCOVERY_TIMEOUT 60)

# Each fuzz harness, built with a plain runner over its seeds (scripts/fuzz builds the same harness with libFuzzer).
file(GLOB fuzz_harnesses CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(harness IN LISTS fuzz_harnesses)
    get_filename_component(name ${harness} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" name ${name})
    file(STRINGS ${harness} sources_line REGEX "^// fuzz-sources: ")
    string(REGEX REPLACE "^// fuzz-sources: " "" sources_line "${sources_line}")
    separate_arguments(sources UNIX_COMMAND "${sources_line}")
    list(TRANSFORM sources PREPEND ${CMAKE_SOURCE_DIR}/)
    add_executable(fuzz_${name} ${harness} ${sources} tests/fuzz/seed_runner.cpp)
    target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(fuzz_${name} PRIVATE ${KELVAD_WARNINGS} ${sanitize})
    target_link_options(fuzz_${name} PRIVATE ${sanitize})
    file(GLOB seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/seeds/${name}/*)
    if(seeds)
        add_test(NAME fuzz_seeds_${name} COMMAND fuzz_${name} ${seeds})
    endif()
endforeach()

# The retro decoding benchmark, compiled with the rest (scripts/retro-bench builds and runs it optimised).
file(GLOB retro_samples CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/retro_samples/*_sample.cpp)
add_executable(kelvad_retro_bench bench/retro_bench.cpp ${retro_samples} ${format_sources})
target_include_directories(kelvad_retro_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(kelvad_retro_bench PRIVATE ${KELVAD_WARNINGS})

# Linux build: the logic library and its unit tests, under the address and undefined-behaviour sanitizers.
set(sanitize -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
target_compile_options(kelvad_logic PRIVATE ${sanitize})
target_link_options(kelvad_logic PUBLIC ${sanitize})

find_package(GTest REQUIRED)
enable_testing()
include(GoogleTest)

file(GLOB host_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
# The plug-ins' decoders are plain C++ too and are tested here with the logic.
file(GLOB format_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/plugins/formats/*.cpp)
file(GLOB plugin_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/plugins/*.cpp)
list(FILTER plugin_sources EXCLUDE REGEX "_win\\.cpp$")
add_executable(kelvad_host_tests ${host_tests} ${format_sources} ${plugin_sources})
target_compile_options(kelvad_host_tests PRIVATE ${KELVAD_WARNINGS} ${KELVAD_CHARSET} ${sanitize})
target_link_libraries(kelvad_host_tests PRIVATE kelvad_logic GTest::gtest_main)
gtest_discover_tests(kelvad_host_tests DISCOVERY_TIMEOUT 60)

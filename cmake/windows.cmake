# Windows build (MinGW-w64): the program, the Win32 test program and the end-to-end tests run under Wine.
set(win_libs winspool comdlg32 comctl32 shell32 shlwapi gdi32 user32 kernel32)

add_library(kelvad_win STATIC ${win_sources})
target_include_directories(kelvad_win PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(kelvad_win PRIVATE ${KELVAD_WARNINGS} ${KELVAD_CHARSET})
target_compile_definitions(kelvad_win PUBLIC WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX)
target_link_libraries(kelvad_win PUBLIC kelvad_logic ${win_libs})
target_link_options(kelvad_win PUBLIC -static -static-libgcc -static-libstdc++)

add_executable(Kelvad32 WIN32 app/main_entry.cpp app/kelvad.rc)
target_compile_options(Kelvad32 PRIVATE ${KELVAD_WARNINGS} ${KELVAD_CHARSET})
target_link_libraries(Kelvad32 PRIVATE kelvad_win)
set_target_properties(Kelvad32 PROPERTIES OUTPUT_NAME Kelvad32 RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# The help page stands beside the program, as in the release.
configure_file(${CMAKE_SOURCE_DIR}/help/Kelvad32.html ${CMAKE_BINARY_DIR}/bin/Kelvad32.html COPYONLY)

# GoogleTest from Debian's sources, built with the MinGW toolchain; its own sources keep the default charset.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

include(cmake/plugins.cmake)

file(GLOB win_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
add_executable(kelvad_win_tests ${win_tests} app/kelvad.rc)
target_compile_options(kelvad_win_tests PRIVATE ${KELVAD_WARNINGS} ${KELVAD_CHARSET})
target_link_libraries(kelvad_win_tests PRIVATE kelvad_win gtest windowscodecs ole32 uuid psapi)
add_dependencies(kelvad_win_tests ${kelvad_plugins} ${test_plugins})
add_custom_command(TARGET kelvad_win_tests POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy_directory
                   ${CMAKE_SOURCE_DIR}/tests/data ${CMAKE_BINARY_DIR}/bin/testdata)
set_target_properties(kelvad_win_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Small Windows tools the test set-up and the benchmark run inside Wine.
foreach(tool setup_printers press_ok drive_catalogue drive_setup record_args code_page pick_printer hold_file)
    add_executable(${tool} tools/${tool}.cpp)
    target_compile_options(${tool} PRIVATE ${KELVAD_WARNINGS} ${KELVAD_CHARSET})
    target_link_libraries(${tool} PRIVATE ${win_libs})
    target_link_options(${tool} PRIVATE -static -static-libgcc -static-libstdc++)
    set_target_properties(${tool} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endforeach()

include(cmake/wine_tests.cmake)

# The spooling benchmark (scripts/bench).
add_executable(kelvad_bench EXCLUDE_FROM_ALL bench/spool_bench_win.cpp)
target_compile_options(kelvad_bench PRIVATE ${KELVAD_WARNINGS} ${KELVAD_CHARSET})
target_link_libraries(kelvad_bench PRIVATE kelvad_win)
set_target_properties(kelvad_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The image loading benchmark (scripts/image-bench), beside the plug-ins it loads.
add_executable(kelvad_image_bench EXCLUDE_FROM_ALL bench/image_bench_win.cpp)
target_compile_options(kelvad_image_bench PRIVATE ${KELVAD_WARNINGS} ${KELVAD_CHARSET})
target_link_libraries(kelvad_image_bench PRIVATE kelvad_win psapi windowscodecs ole32 uuid)
set_target_properties(kelvad_image_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The image page benchmark (scripts/page-bench).
add_executable(kelvad_page_bench EXCLUDE_FROM_ALL bench/page_bench_win.cpp)
target_compile_options(kelvad_page_bench PRIVATE ${KELVAD_WARNINGS} ${KELVAD_CHARSET})
target_link_libraries(kelvad_page_bench PRIVATE kelvad_win psapi)
set_target_properties(kelvad_page_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The soak benchmark of the image run (scripts/soak-bench), beside the plug-ins it loads.
add_executable(kelvad_soak_bench EXCLUDE_FROM_ALL bench/soak_bench_win.cpp)
target_compile_options(kelvad_soak_bench PRIVATE ${KELVAD_WARNINGS} ${KELVAD_CHARSET})
target_link_libraries(kelvad_soak_bench PRIVATE kelvad_win psapi)
set_target_properties(kelvad_soak_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Tests of the Windows build, run under Wine through scripts/wine (project prefix, locale, display).
# They print to the same test printers, so they run one at a time.
enable_testing()
set(wine ${CMAKE_SOURCE_DIR}/scripts/wine)

add_test(NAME win_tests COMMAND ${wine} ${CMAKE_BINARY_DIR}/bin/kelvad_win_tests.exe --gtest_brief=1)
set_tests_properties(win_tests PROPERTIES RESOURCE_LOCK wine_printers TIMEOUT 900)

file(GLOB e2e_scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.sh)
foreach(script IN LISTS e2e_scripts)
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME e2e_${name} COMMAND bash ${script} ${CMAKE_BINARY_DIR}/bin/Kelvad32.exe)
    set_tests_properties(e2e_${name} PROPERTIES RESOURCE_LOCK wine_printers TIMEOUT 600)
endforeach()

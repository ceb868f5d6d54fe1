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

# Chosen cases again under C.UTF-8, where the ANSI code page is 1252 as on an English Windows.
foreach(name command_line_pattern_test window_texts_test)
    add_test(NAME e2e_cp1252_${name}
             COMMAND ${CMAKE_COMMAND} -E env KELVAD_WINE_LANG=C.UTF-8 KELVAD_WINE_ACP=1252
                     bash ${CMAKE_SOURCE_DIR}/tests/e2e/${name}.sh ${CMAKE_BINARY_DIR}/bin/Kelvad32.exe)
    set_tests_properties(e2e_cp1252_${name} PROPERTIES RESOURCE_LOCK wine_printers TIMEOUT 600)
endforeach()

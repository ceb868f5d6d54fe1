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

# Chosen cases again under other ANSI code pages: 1252 (C.UTF-8, as on an English Windows) and 65001 (hi_IN.UTF-8,
# a locale without an ANSI code page, for which Wine takes UTF-8 as Windows does with its system-wide UTF-8 option).
set(code_page_cases command_line_pattern_test window_texts_test print_switch_test retro_plugins_test)
foreach(pass "1252;C.UTF-8" "65001;hi_IN.UTF-8")
    list(GET pass 0 acp)
    list(GET pass 1 lang)
    foreach(name IN LISTS code_page_cases)
        add_test(NAME e2e_cp${acp}_${name}
                 COMMAND ${CMAKE_COMMAND} -E env KELVAD_WINE_LANG=${lang} KELVAD_WINE_ACP=${acp}
                         bash ${CMAKE_SOURCE_DIR}/tests/e2e/${name}.sh ${CMAKE_BINARY_DIR}/bin/Kelvad32.exe)
        set_tests_properties(e2e_cp${acp}_${name} PROPERTIES RESOURCE_LOCK wine_printers TIMEOUT 600)
    endforeach()
endforeach()

# Image plug-ins: DLLs of their own (build/<preset>/bin/if*.spi) that decode with the Windows Imaging Component
# or with one of the plain C++ decoders of plugins/formats.
# The i686 build exports the entry points under their plain names.
set(plugin_link_options -static -static-libgcc -static-libstdc++)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND plugin_link_options -Wl,--kill-at)
endif()

function(kelvad_plugin target source output_dir output_name)
    add_library(${target} MODULE ${source})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${target} PRIVATE ${KELVAD_WARNINGS})
    target_compile_definitions(${target} PRIVATE WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX ${ARGN})
    target_link_options(${target} PRIVATE ${plugin_link_options})
    set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".spi" OUTPUT_NAME ${output_name}
                          LIBRARY_OUTPUT_DIRECTORY ${output_dir} RUNTIME_OUTPUT_DIRECTORY ${output_dir})
endfunction()

set(kelvad_plugins)
# What every plug-in of ours shares: its input and answers at the interface, and an entry point that frees
# its C++ runtime's pool when it is released.
set(plugin_common plugins/plugin_dll_main_win.cpp plugins/plugin_io_win.cpp)
# The WIC plug-in's plain parts: the JPEG header walk, the sizes in other headers and the pixel-row conversions.
set(wic_plugin_parts plugins/jpeg_headers.cpp plugins/picture_extent.cpp plugins/pixel_rows.cpp)
foreach(entry ifjpeg:1 ifgif:2 iftiff:3 ifpng:4)
    string(REPLACE ":" ";" pair ${entry})
    list(GET pair 0 name)
    list(GET pair 1 format)
    kelvad_plugin(${name} "plugins/wic_plugin_win.cpp;${wic_plugin_parts};${plugin_common}"
                  ${CMAKE_BINARY_DIR}/bin ${name} KELVAD_PLUGIN_FORMAT=${format})
    target_link_libraries(${name} PRIVATE windowscodecs ole32 uuid)
    list(APPEND kelvad_plugins ${name})
endforeach()

# The retro formats: the shared adapter and one decoder each.
foreach(entry ifmag:mag:kMagCodec ifpi:pi:kPiCodec ifpic:pic:kPicCodec ifpic2:pic2:kPic2Codec ifxld4:xld4:kXld4Codec)
    string(REPLACE ":" ";" triple ${entry})
    list(GET triple 0 name)
    list(GET triple 1 format)
    list(GET triple 2 codec)
    kelvad_plugin(${name} "plugins/retro_plugin_win.cpp;plugins/formats/${format}.cpp;${plugin_common}"
                  ${CMAKE_BINARY_DIR}/bin ${name} KELVAD_RETRO_CODEC=${codec})
    list(APPEND kelvad_plugins ${name})
endforeach()

# The tests' plug-in, under the names of the loader's table, in bin/testplugins/<variant>; the tests point the
# loader's plug-in folder there. "picture_only" lacks GetPictureInfo and GetPreview, "no_preview" GetPreview.
set(test_plugins)
foreach(variant full picture_only no_preview)
    set(dir ${CMAKE_BINARY_DIR}/bin/testplugins/${variant})
    if(variant STREQUAL "picture_only")
        kelvad_plugin(test_plugin_${variant} tests/plugin/test_plugin_win.cpp ${dir} ifpic TEST_PLUGIN_PICTURE_ONLY)
    elseif(variant STREQUAL "no_preview")
        kelvad_plugin(test_plugin_${variant} tests/plugin/test_plugin_win.cpp ${dir} ifpic TEST_PLUGIN_NO_PREVIEW)
    else()
        kelvad_plugin(test_plugin_${variant} tests/plugin/test_plugin_win.cpp ${dir} ifpic)
    endif()
    foreach(alias ifjpeg ifmag ifpng)
        add_custom_command(TARGET test_plugin_${variant} POST_BUILD
                           COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dir}/ifpic.spi ${dir}/${alias}.spi)
    endforeach()
    list(APPEND test_plugins test_plugin_${variant})
endforeach()

# A library that leaves a mark beside itself when loaded, which the tests plant where the loader must not look.
kelvad_plugin(test_plugin_marker tests/plugin/marker_plugin_win.cpp ${CMAKE_BINARY_DIR}/bin/testplugins/marker planted)
list(APPEND test_plugins test_plugin_marker)

# Windows programs carry their version information, and the window its icon and manifest, as
# resources compiled into the .exe. Elsewhere this does nothing.
#
# huewright_windows_resources(TARGET DESCRIPTION text [ICON png...] [MANIFEST file.in])
#   ICON: the icon's sizes as PNGs, packed into one .ico.
#   MANIFEST: a template that takes the product's facts (@PROJECT_VERSION@, ...).
function(huewright_windows_resources target)
    if(NOT WIN32)
        return()
    endif()
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION;MANIFEST" "ICON")
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
    set(HUEWRIGHT_RC_DESCRIPTION ${arg_DESCRIPTION})
    set(HUEWRIGHT_RC_FILE_NAME ${target}.exe)
    set(HUEWRIGHT_RC_EXTRA "")
    set(icon "")
    if(arg_ICON)
        # ImageMagick 7 is "magick"; Debian 12's 6 has only "convert".
        find_program(HUEWRIGHT_MAGICK NAMES magick convert REQUIRED)
        add_custom_command(OUTPUT ${dir}/icon.ico
            COMMAND ${HUEWRIGHT_MAGICK} ${arg_ICON} ${dir}/icon.ico
            DEPENDS ${arg_ICON}
            COMMENT "Packing the icon of ${target}.exe"
            VERBATIM)
        string(APPEND HUEWRIGHT_RC_EXTRA "1 ICON \"${dir}/icon.ico\"\n")
        set(icon ${dir}/icon.ico)
    endif()
    set(manifest "")
    if(arg_MANIFEST)
        set(manifest ${dir}/${target}.manifest)
        configure_file(${arg_MANIFEST} ${manifest} @ONLY)
        # CREATEPROCESS_MANIFEST_RESOURCE_ID 1, RT_MANIFEST 24
        string(APPEND HUEWRIGHT_RC_EXTRA "1 24 \"${manifest}\"\n")
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in ${dir}/resources.rc @ONLY)
    target_sources(${target} PRIVATE ${dir}/resources.rc ${icon})
    # The resources are compiled again when the icon or the manifest changes.
    set_property(SOURCE ${dir}/resources.rc APPEND PROPERTY OBJECT_DEPENDS ${icon} ${manifest})
endfunction()

# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
#
# A Windows build cross-compiled with MinGW-w64 on Linux: the test programs
# run under Wine, and the program is deployed from its imports, since no
# windeployqt runs on a Linux host.

# The folders holding the DLLs a program of this build may need beyond
# Windows' own: MinGW's C++ and threads runtime, and Qt's libraries.
set(TARVELIN_DLL_DIRS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    # The compiler answers with the bare name when it has no such file.
    if(NOT IS_ABSOLUTE "${path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} has no ${dll}")
    endif()
    get_filename_component(dir "${path}" DIRECTORY)
    file(REAL_PATH "${dir}" dir)
    list(APPEND TARVELIN_DLL_DIRS "${dir}")
endforeach()
if(TARGET Qt6::Core)
    list(APPEND TARVELIN_DLL_DIRS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
endif()
list(REMOVE_DUPLICATES TARVELIN_DLL_DIRS)

if(TARVELIN_TESTS)
    find_program(WINE wine REQUIRED)
    # Qt's offscreen platform, which the window's tests use, reads its fonts
    # from one folder on Windows and knows no aliases. The folder holds the
    # faces the tests ask for by name, as on Linux, and nothing before
    # DejaVu Sans in the alphabet, which thus stands in for the default
    # "Sans Serif" as it does on Linux.
    set(TARVELIN_TEST_FONTS /usr/share/fonts/truetype/dejavu CACHE PATH
        "Where the DejaVu fonts for the window's tests under Wine are")
    set(test_fonts "${CMAKE_BINARY_DIR}/test-fonts")
    foreach(face DejaVuSans DejaVuSans-Bold DejaVuSerif DejaVuSerif-Bold DejaVuSansMono
            DejaVuSansMono-Bold)
        file(COPY "${TARVELIN_TEST_FONTS}/${face}.ttf" DESTINATION "${test_fonts}")
    endforeach()
    set(wine_prefix "${CMAKE_BINARY_DIR}/wine")
    list(JOIN TARVELIN_DLL_DIRS ";" wine_path)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
        WORLD_READ WORLD_EXECUTE)
    # Every target made from here on runs through it, in ctest and in
    # GoogleTest's discovery of the tests.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
    # A new prefix takes Wine a quarter of a minute or more, longer than the
    # discovery waits for a test program; the build makes it beforehand, and
    # anew when the launcher changes what goes into it.
    add_custom_command(OUTPUT ${wine_prefix}/system.reg
        COMMAND sh -c "WINEPREFIX='${wine_prefix}' wineserver --kill 2>/dev/null; rm -rf '${wine_prefix}'"
        COMMAND ${CMAKE_BINARY_DIR}/wine-run cmd /c exit
        DEPENDS ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in
        COMMENT "Making the Wine prefix of the tests"
        VERBATIM)
    add_custom_target(wine_prefix ALL DEPENDS ${wine_prefix}/system.reg)
endif()

# Installs the program with the DLLs it imports, found by walking the imports
# from the program and the Qt plugins it loads, with MinGW's objdump.
# plugins: Qt plugins as <folder>/<name>, installed in such a folder beside
# the program, where Qt looks for them.
function(tarvelin_deploy_mingw target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "PLUGINS")
    find_program(MINGW_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
    set(plugin_files)
    foreach(plugin IN LISTS arg_PLUGINS)
        set(file "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/${plugin}.dll")
        if(NOT EXISTS "${file}")
            message(FATAL_ERROR "Qt has no plugin ${plugin} (${file})")
        endif()
        list(APPEND plugin_files "${file}")
    endforeach()
    find_program(MINGW_STRIP x86_64-w64-mingw32-strip REQUIRED)
    install(CODE "
        set(objdump \"${MINGW_OBJDUMP}\")
        set(strip \"${MINGW_STRIP}\")
        set(dll_dirs \"${TARVELIN_DLL_DIRS}\")
        set(qt_dll_dir \"${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}\")
        set(plugins \"${plugin_files}\")
        set(program \"$<TARGET_FILE_NAME:${target}>\")
        set(bindir \"${CMAKE_INSTALL_BINDIR}\")
        include(\"${PROJECT_SOURCE_DIR}/cmake/deploy_mingw.cmake\")")
    tarvelin_install_qt_licences()
endfunction()

# Qt's licences and a note on the source the DLLs were built from, from what
# scripts/mingw-qt.sh kept beside its Qt build.
function(tarvelin_install_qt_licences)
    set(record "${QT6_INSTALL_PREFIX}/tarvelin-qt-source.txt")
    set(texts "${QT6_INSTALL_PREFIX}/licenses")
    if(NOT EXISTS "${record}" OR NOT EXISTS "${texts}/qt-third-party.txt")
        message(FATAL_ERROR "${QT6_INSTALL_PREFIX} is not a Qt built by scripts/mingw-qt.sh, "
            "or one from before it kept the licences: run scripts/mingw-qt.sh again.")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${record}")
    file(STRINGS "${record}" lines)
    foreach(line IN LISTS lines)
        if(line MATCHES "^([a-z-]+): (.*)$")
            set(qt_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
        endif()
    endforeach()
    set(QT_VERSION "${Qt6_VERSION}")
    set(QT_DEBIAN_VERSION "${qt_debian-version}")
    set(QT_COMPILER "${qt_compiler}")
    string(STRIP "${qt_debian-patches}" patches)
    string(REPLACE " " "\n    " patches "${patches}")
    set(QT_DEBIAN_PATCHES "    ${patches}")
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/Qt.txt.in
        ${CMAKE_CURRENT_BINARY_DIR}/licenses/Qt.txt @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/licenses/Qt.txt DESTINATION licenses)
    install(FILES ${texts}/LGPL-3.0-only.txt DESTINATION licenses RENAME Qt-LGPL-3.0.txt)
    install(FILES ${texts}/GPL-3.0-only.txt DESTINATION licenses RENAME GPL-3.0.txt)
    install(FILES ${texts}/qt-third-party.txt DESTINATION licenses RENAME Qt-third-party.txt)
endfunction()

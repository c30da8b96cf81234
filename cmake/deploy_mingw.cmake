# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
#
# Run at install time (see tarvelin_deploy_mingw in windows_cross.cmake):
# copies the Qt plugins beside the installed program, then every DLL that the
# program and the plugins import, and the DLLs those import, from the given
# folders. A DLL found in none of them must be one of Windows' own.
# The MinGW runtime DLLs get the copyright files of the Debian packages they
# come from, which name their licences, in licenses/MinGW-runtime.txt.
# Input: objdump, strip, dll_dirs, qt_dll_dir, plugins, program, bindir.
# An install script starts with CMake's oldest policies; this one needs
# today's (IN_LIST, among others).
cmake_policy(VERSION 3.25)
set(destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${bindir}")

set(queue "${destination}/${program}")
set(copied)
foreach(plugin IN LISTS plugins)
    get_filename_component(kind "${plugin}" DIRECTORY)
    get_filename_component(kind "${kind}" NAME)
    file(INSTALL "${plugin}" DESTINATION "${destination}/${kind}")
    get_filename_component(name "${plugin}" NAME)
    list(APPEND queue "${destination}/${kind}/${name}")
    list(APPEND copied "${destination}/${kind}/${name}")
endforeach()

set(seen)
set(from_windows)
set(runtime)
while(queue)
    list(POP_FRONT queue file)
    execute_process(COMMAND "${objdump}" -p "${file}"
        OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${headers}")
    foreach(import IN LISTS imports)
        string(REPLACE "DLL Name: " "" dll "${import}")
        # Windows matches DLL names without regard to case.
        string(TOLOWER "${dll}" key)
        if(key IN_LIST seen)
            continue()
        endif()
        list(APPEND seen "${key}")
        set(found "")
        foreach(dir IN LISTS dll_dirs)
            if(EXISTS "${dir}/${dll}")
                set(found "${dir}/${dll}")
                break()
            endif()
        endforeach()
        if(found)
            file(INSTALL "${found}" DESTINATION "${destination}")
            list(APPEND queue "${destination}/${dll}")
            list(APPEND copied "${destination}/${dll}")
            string(FIND "${found}" "${qt_dll_dir}/" at)
            if(NOT at EQUAL 0)
                list(APPEND runtime "${found}")
            endif()
        else()
            list(APPEND from_windows "${dll}")
        endif()
    endforeach()
endwhile()
# Qt's release build keeps its symbol tables, Debian's MinGW runtime its
# debugging information (libstdc++ 24 MB, stripped 2 MB).
if(CMAKE_INSTALL_DO_STRIP)
    foreach(file IN LISTS copied)
        execute_process(COMMAND "${strip}" --strip-unneeded "${file}" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endif()
list(SORT from_windows CASE INSENSITIVE)
list(JOIN from_windows " " from_windows)
message(STATUS "From Windows itself: ${from_windows}")

set(notice "MinGW-w64 runtime in Tarvelin for Windows
=========================================

Tarvelin for Windows is compiled with MinGW-w64's GCC and uses its runtime
DLLs, taken from Debian's packages as listed below; the copyright file of
each package follows in full. GCC's C++ and support libraries
(libstdc++-6.dll, libgcc_s_seh-1.dll) are under the GNU General Public
License version 3 or later (GPL-3.0.txt) with the GCC Runtime Library
Exception version 3.1, quoted in their copyright file; MinGW-w64's threads
library (libwinpthread-1.dll) is under the MIT (expat) licence, with parts
under BSD licences, as its copyright file says.
")
set(packages)
foreach(file IN LISTS runtime)
    file(REAL_PATH "${file}" real)
    execute_process(COMMAND dpkg-query --search "${real}"
        OUTPUT_VARIABLE owner OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX REPLACE ":.*" "" package "${owner}")
    execute_process(COMMAND dpkg-query --show --showformat=\${Version} "${package}"
        OUTPUT_VARIABLE version COMMAND_ERROR_IS_FATAL ANY)
    get_filename_component(name "${file}" NAME)
    string(APPEND notice "\n${name}: Debian package ${package} ${version}")
    list(APPEND packages "${package}")
endforeach()
list(REMOVE_DUPLICATES packages)
foreach(package IN LISTS packages)
    file(READ "/usr/share/doc/${package}/copyright" copyright)
    string(APPEND notice "\n\n\n${package}: /usr/share/doc/${package}/copyright\n"
        "==============================================================================\n\n"
        "${copyright}")
endforeach()
file(WRITE "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/licenses/MinGW-runtime.txt" "${notice}")

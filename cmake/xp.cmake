# The shipped executable: 32-bit, GUI subsystem, Windows XP, nothing beyond what XP ships.
enable_language(RC)

# What makes the shipped executable small and lets XP load it; the size benchmark's reference
# program (bench/wine) is built with the same. Without a link time in its header, the same
# commit gives the same file wherever and whenever it is built. On x86-64 the unwind tables
# stay: there an exception is dispatched through a frame only by its function's entry in them.
function(xp_program_options target)
    target_compile_definitions(${target} PRIVATE _WIN32_WINNT=0x0501 WINVER=0x0501
                                                 WIN32_LEAN_AND_MEAN)
    target_compile_options(${target} PRIVATE ${PRODUCT_COMPILE_OPTIONS} -Os -ffunction-sections
                                             -fdata-sections)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_compile_options(${target} PRIVATE -fno-asynchronous-unwind-tables)
    endif()
    target_link_options(${target} PRIVATE -s -static-libgcc -static-libstdc++ -Wl,--gc-sections
                                          -Wl,--disable-reloc-section -Wl,--no-insert-timestamp
                                          -Wl,--major-os-version,5 -Wl,--minor-os-version,1
                                          -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,1)
endfunction()

# A program that starts at ProgramEntry, an entry of its own, with none of the C runtime's
# start-up code or libraries linked in: what it takes from the C library it names itself, from
# the msvcrt.dll that XP ships. libgcc is there for the stack probe of a frame over a page.
# The link fails if the entry is missing, and before it if an object has static constructors or
# destructors, which nothing would run.
function(xp_program_without_runtime target)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(entry _ProgramEntry) # 32-bit C names carry a leading underscore
    else()
        set(entry ProgramEntry)
    endif()
    target_link_options(${target} PRIVATE -nostdlib -Wl,--entry=${entry}
                                          -Wl,--require-defined=${entry})
    target_link_libraries(${target} PRIVATE kernel32 user32 msvcrt gcc)
    add_custom_command(TARGET ${target} PRE_LINK
                       COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP}
                               "-DOBJECTS=$<TARGET_OBJECTS:${target}>"
                               -P ${CMAKE_SOURCE_DIR}/cmake/no_constructors.cmake
                       VERBATIM)
endfunction()

# Discovery's report is the support tool's alone: its imports are not the monitor's.
set(MONITOR_SOURCES ${PRODUCT_SOURCES})
list(FILTER MONITOR_SOURCES EXCLUDE REGEX "/src/devices/discovery_report\\.cpp$")
# QX481Mon.exe from the monitor's sources and the resource script RC: res/QX481Mon.rc for the
# shipped one, a copy beside another version.h for a test build of another version.
function(add_monitor_program target rc)
    add_executable(${target} WIN32 ${MONITOR_SOURCES} ${rc})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
    xp_program_options(${target})
    # CFGMGR32 comes before SETUPAPI: MinGW's setupapi import library also carries the CM_* names.
    target_link_libraries(${target} PRIVATE cfgmgr32 setupapi powrprof ole32 oleaut32 strmiids
                                            uuid advapi32)
    xp_program_without_runtime(${target})
    # With data sections, GCC gives each zero-initialised record a .data section of its own, bytes
    # in the file; without them the records share .bss, which has none, and the file has no .data.
    target_compile_options(${target} PRIVATE -fno-data-sections)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME QX481Mon SUFFIX .exe)
endfunction()
add_monitor_program(QX481Mon ${CMAKE_SOURCE_DIR}/res/QX481Mon.rc)

# The support tool: a console program built the same way over the monitor's own discovery,
# version check, camera channel and count of running monitors, and nothing else of it, so that
# it imports only what it calls.
file(GLOB DIAG_PRODUCT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/devices/*.cpp
     ${CMAKE_SOURCE_DIR}/src/camera/*.cpp)
add_executable(QX481Diag ${CMAKE_SOURCE_DIR}/tools/diag/diag.cpp
                         ${CMAKE_SOURCE_DIR}/tools/diag/console.cpp
                         ${CMAKE_SOURCE_DIR}/tools/diag/system_dlls.cpp
                         ${CMAKE_SOURCE_DIR}/tools/diag/main.cpp ${DIAG_PRODUCT_SOURCES}
                         ${CMAKE_SOURCE_DIR}/src/app/windows_version.cpp
                         ${CMAKE_SOURCE_DIR}/src/app/monitors.cpp
                         ${CMAKE_SOURCE_DIR}/tools/diag/QX481Diag.rc)
target_include_directories(QX481Diag PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
xp_program_options(QX481Diag)
# Run from a downloads folder, the tool imports neither SETUPAPI nor CFGMGR32, which XP would
# look for beside it first: discovery's calls are declared without dllimport and reach the
# system folder's copies through tools/diag/system_dlls.cpp.
target_compile_definitions(QX481Diag PRIVATE _SETUPAPI_ _CFGMGR32_)
target_link_libraries(QX481Diag PRIVATE ole32 oleaut32 shell32 version strmiids uuid)
set_target_properties(QX481Diag PROPERTIES OUTPUT_NAME QX481Diag SUFFIX .exe)

# The setup program (installer/QX481Mon.nsi) around the executable, for the build's architecture.
find_program(MAKENSIS makensis REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(SETUP_TARGET amd64-unicode)
else()
    set(SETUP_TARGET x86-unicode)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/signing.cmake)

# OUTPUT is the setup program around PRODUCT_EXE. With a SIGN command (signing_command's list)
# makensis signs the uninstaller before packing it and the setup program once written; OUTPUT
# appears only when all of that has worked. DEPENDS names what it depends on besides the script
# and the executable, DEFINES further makensis definitions (NAME=VALUE), VERSION_H the version.h
# it takes its version texts from, res/version.h unless given. Warnings are errors: among them a
# text that a language lacks.
function(add_setup_program output product_exe sign)
    cmake_parse_arguments(PARSE_ARGV 3 SETUP "" "VERSION_H" "DEPENDS;DEFINES")
    if(NOT SETUP_VERSION_H)
        set(SETUP_VERSION_H ${CMAKE_SOURCE_DIR}/res/version.h)
    endif()
    set(defines)
    if(sign)
        list(JOIN sign "\" \"" command)
        set(defines "-DSIGN=\"${command}\"")
    endif()
    foreach(define IN LISTS SETUP_DEFINES)
        list(APPEND defines -D${define})
    endforeach()
    get_filename_component(folder ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
                       COMMAND ${MAKENSIS} -V2 -WX -DTARGET=${SETUP_TARGET} ${defines}
                               -DPRODUCT_EXE=${product_exe} -DOUTFILE=${output}.new
                               -DVERSION_H=${SETUP_VERSION_H}
                               ${CMAKE_SOURCE_DIR}/installer/QX481Mon.nsi
                       COMMAND ${CMAKE_COMMAND} -E rename ${output}.new ${output}
                       DEPENDS ${product_exe} ${CMAKE_SOURCE_DIR}/installer/QX481Mon.nsi
                               ${CMAKE_SOURCE_DIR}/installer/QX481Lang.nsh
                               ${SETUP_VERSION_H} ${SETUP_DEPENDS}
                       COMMENT "Building the setup program ${output}" VERBATIM)
endfunction()

set(SETUP_EXE ${CMAKE_BINARY_DIR}/QX481Setup.exe)
add_setup_program(${SETUP_EXE} $<TARGET_FILE:QX481Mon> "" DEPENDS QX481Mon)
add_custom_target(QX481Setup ALL DEPENDS ${SETUP_EXE})

include(${CMAKE_CURRENT_LIST_DIR}/msi.cmake)

# What a release ships, unsigned, or signed in signed/ when a key is named. The executables
# themselves stay unsigned: the tests, the size budget and the setup program above use them.
set(SHIPPED_FILES $<TARGET_FILE:QX481Mon> $<TARGET_FILE:QX481Diag> ${SETUP_EXE} ${MSI})
if(QX481_SIGN_KEY)
    signing_command(sign ${QX481_SIGN_KEY} ${QX481_SIGN_CERT})
    set(SIGNED ${CMAKE_BINARY_DIR}/signed)
    add_signed_copy(${SIGNED}/QX481Mon.exe $<TARGET_FILE:QX481Mon> "${sign}" QX481Mon)
    add_signed_copy(${SIGNED}/QX481Diag.exe $<TARGET_FILE:QX481Diag> "${sign}" QX481Diag)
    add_setup_program(${SIGNED}/QX481Setup.exe ${SIGNED}/QX481Mon.exe "${sign}")
    add_msi_package(${SIGNED}/QX481Mon.msi ${SIGNED}/QX481Mon.exe "${sign}")
    set(SHIPPED_FILES ${SIGNED}/QX481Mon.exe ${SIGNED}/QX481Diag.exe ${SIGNED}/QX481Setup.exe
                      ${SIGNED}/QX481Mon.msi)
endif()
# scripts/release.sh builds this target alone and packs the files shipped.txt names.
add_custom_target(shipped ALL DEPENDS ${SHIPPED_FILES} QX481Mon QX481Diag QX481Setup QX481Msi)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/shipped.txt CONTENT "$<JOIN:${SHIPPED_FILES},\n>\n")

find_package(Python3 REQUIRED COMPONENTS Interpreter)
# The PE check (tests/pe/pe_check.py) of FILE, with the check's OPTIONS after it.
function(add_pe_check name file)
    add_test(NAME ${name}
             COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/pe/pe_check.py ${ARGN} ${file}
                     ${CMAKE_SOURCE_DIR}/tests/pe/xp_imports.txt)
    set_tests_properties(${name} PROPERTIES LABELS pe)
endfunction()

# Every language of the setup program carries every text of its own, in Windows' own words.
add_test(NAME setup_texts
         COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/installer/texts_test.py)

# Only the 32-bit executables ship; the x86-64 build exists for the tests under 64-bit Wine.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The monitor's size budget, unsigned: a signature adds its certificate table.
    add_pe_check(pe_check $<TARGET_FILE:QX481Mon> --max-size=12288)
    add_pe_check(pe_check_diag $<TARGET_FILE:QX481Diag> --console)
    if(QX481_SIGN_KEY)
        add_pe_check(pe_check_signed ${SIGNED}/QX481Mon.exe --signed)
        add_pe_check(pe_check_diag_signed ${SIGNED}/QX481Diag.exe --console --signed)
    endif()

    # scripts/release.sh from two clones of the tree, against this build's unsigned files.
    add_test(NAME release
             COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/release/release_test.py
                     $<TARGET_FILE:QX481Mon> $<TARGET_FILE:QX481Diag> ${SETUP_EXE} ${MSI})
    set_tests_properties(release PROPERTIES LABELS release TIMEOUT 600)
else()
    add_test(NAME pe_unwind
             COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/pe/unwind_check.py
                     $<TARGET_FILE:QX481Mon> $<TARGET_FILE:QX481Diag>)
    set_tests_properties(pe_unwind PROPERTIES LABELS pe)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/e2e/CMakeLists.txt)
    add_subdirectory(e2e)
endif()

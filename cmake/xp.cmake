# The shipped executable: 32-bit, GUI subsystem, Windows XP, nothing beyond what XP ships.
enable_language(RC)

# What makes the shipped executable small and lets XP load it; the size benchmark's reference
# program (bench/wine) is built with the same.
function(xp_program_options target)
    target_compile_definitions(${target} PRIVATE _WIN32_WINNT=0x0501 WINVER=0x0501
                                                 WIN32_LEAN_AND_MEAN)
    target_compile_options(${target} PRIVATE ${PRODUCT_COMPILE_OPTIONS} -Os -ffunction-sections
                                             -fdata-sections -fno-asynchronous-unwind-tables)
    target_link_options(${target} PRIVATE -s -static-libgcc -static-libstdc++ -Wl,--gc-sections
                                          -Wl,--disable-reloc-section
                                          -Wl,--major-os-version,5 -Wl,--minor-os-version,1
                                          -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,1)
endfunction()

# Discovery's report is the support tool's alone: its imports are not the monitor's.
set(MONITOR_SOURCES ${PRODUCT_SOURCES})
list(FILTER MONITOR_SOURCES EXCLUDE REGEX "/src/devices/discovery_report\\.cpp$")
add_executable(QX481Mon WIN32 ${MONITOR_SOURCES} ${CMAKE_SOURCE_DIR}/res/QX481Mon.rc)
target_include_directories(QX481Mon PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
xp_program_options(QX481Mon)
# CFGMGR32 comes before SETUPAPI: MinGW's setupapi import library also carries the CM_* names.
target_link_libraries(QX481Mon PRIVATE cfgmgr32 setupapi powrprof ole32 oleaut32 strmiids uuid)
set_target_properties(QX481Mon PROPERTIES OUTPUT_NAME QX481Mon SUFFIX .exe)

# The support tool: a console program built the same way over the monitor's own discovery,
# version check, camera channel and count of running monitors, and nothing else of it, so that
# it imports only what it calls.
file(GLOB DIAG_PRODUCT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/devices/*.cpp
     ${CMAKE_SOURCE_DIR}/src/camera/*.cpp)
add_executable(QX481Diag ${CMAKE_SOURCE_DIR}/tools/diag/diag.cpp
                         ${CMAKE_SOURCE_DIR}/tools/diag/console.cpp
                         ${CMAKE_SOURCE_DIR}/tools/diag/main.cpp ${DIAG_PRODUCT_SOURCES}
                         ${CMAKE_SOURCE_DIR}/src/app/windows_version.cpp
                         ${CMAKE_SOURCE_DIR}/src/app/monitors.cpp
                         ${CMAKE_SOURCE_DIR}/tools/diag/QX481Diag.rc)
target_include_directories(QX481Diag PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
xp_program_options(QX481Diag)
target_link_libraries(QX481Diag PRIVATE cfgmgr32 setupapi ole32 oleaut32 strmiids uuid)
set_target_properties(QX481Diag PROPERTIES OUTPUT_NAME QX481Diag SUFFIX .exe)

# The setup program (installer/QX481Mon.nsi) around the executable, for the build's architecture.
find_program(MAKENSIS makensis REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(SETUP_TARGET amd64-unicode)
else()
    set(SETUP_TARGET x86-unicode)
endif()
set(SETUP_EXE ${CMAKE_BINARY_DIR}/QX481Setup.exe)
add_custom_command(OUTPUT ${SETUP_EXE}
                   COMMAND ${MAKENSIS} -V2 -DTARGET=${SETUP_TARGET}
                           -DPRODUCT_EXE=$<TARGET_FILE:QX481Mon> -DOUTFILE=${SETUP_EXE}
                           -DVERSION_H=${CMAKE_SOURCE_DIR}/res/version.h
                           ${CMAKE_SOURCE_DIR}/installer/QX481Mon.nsi
                   DEPENDS QX481Mon ${CMAKE_SOURCE_DIR}/installer/QX481Mon.nsi
                           ${CMAKE_SOURCE_DIR}/res/version.h
                   COMMENT "Building the setup program QX481Setup.exe" VERBATIM)
add_custom_target(QX481Setup ALL DEPENDS ${SETUP_EXE})

include(${CMAKE_CURRENT_LIST_DIR}/msi.cmake)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
# Only the 32-bit executables ship; the x86-64 build exists for the tests under 64-bit Wine.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_test(NAME pe_check
             COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/pe/pe_check.py
                     $<TARGET_FILE:QX481Mon> ${CMAKE_SOURCE_DIR}/tests/pe/xp_imports.txt)
    add_test(NAME pe_check_diag
             COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/pe/pe_check.py --console
                     $<TARGET_FILE:QX481Diag> ${CMAKE_SOURCE_DIR}/tests/pe/xp_imports.txt)
    set_tests_properties(pe_check pe_check_diag PROPERTIES LABELS pe)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/e2e/CMakeLists.txt)
    add_subdirectory(e2e)
endif()

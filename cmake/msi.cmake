# QX481Mon.msi (installer/QX481Mon.wxs) around the executable, for the build's architecture:
# the package that Group Policy and software-distribution tools deploy. scripts/msi_package.py
# builds it with these tools, the same bytes from the same executable and commit.
foreach(tool wixl msibuild msiinfo faketime)
    string(TOUPPER ${tool} variable)
    find_program(${variable} ${tool} REQUIRED)
endforeach()

# The time the packages carry, looked up at every build; they are made again when it changes.
set(COMMIT_TIME ${CMAKE_BINARY_DIR}/commit_time)
add_custom_target(commit_time
                  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTPUT=${COMMIT_TIME}
                          -P ${CMAKE_CURRENT_LIST_DIR}/commit_time.cmake
                  BYPRODUCTS ${COMMIT_TIME} VERBATIM)

set(MSI_ARCH)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(MSI_ARCH --win64)
endif()

# OUTPUT is the package around PRODUCT_EXE, signed with SIGN (signing_command's list) when that
# is not empty; OUTPUT appears only when all of that has worked. DEPENDS names what it depends on
# besides the executable, DEFINES further definitions for the package source (NAME=VALUE). The
# target that builds OUTPUT must depend on commit_time.
function(add_msi_package output product_exe sign)
    cmake_parse_arguments(PARSE_ARGV 3 MSI "" "" "DEPENDS;DEFINES")
    set(signing)
    set(depends ${MSI_DEPENDS})
    if(sign)
        set(signing COMMAND ${sign} ${output}.new)
        list(APPEND depends ${CMAKE_SOURCE_DIR}/scripts/sign.sh)
    endif()
    set(defines)
    foreach(define IN LISTS MSI_DEFINES)
        list(APPEND defines --define ${define})
    endforeach()
    get_filename_component(folder ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
                       COMMAND ${CMAKE_SOURCE_DIR}/scripts/msi_package.py ${MSI_ARCH} ${defines}
                               --wxs ${CMAKE_SOURCE_DIR}/installer/QX481Mon.wxs
                               --version-h ${CMAKE_SOURCE_DIR}/res/version.h
                               --exe ${product_exe} --time-file ${COMMIT_TIME}
                               --out ${output}.new
                       ${signing}
                       COMMAND ${CMAKE_COMMAND} -E rename ${output}.new ${output}
                       DEPENDS ${product_exe} ${CMAKE_SOURCE_DIR}/installer/QX481Mon.wxs
                               ${CMAKE_SOURCE_DIR}/res/version.h
                               ${CMAKE_SOURCE_DIR}/scripts/msi_package.py ${COMMIT_TIME} ${depends}
                       COMMENT "Building the Windows Installer package ${output}" VERBATIM)
endfunction()

set(MSI ${CMAKE_BINARY_DIR}/QX481Mon.msi)
add_msi_package(${MSI} $<TARGET_FILE:QX481Mon> "" DEPENDS QX481Mon)
add_custom_target(QX481Msi ALL DEPENDS ${MSI})
add_dependencies(QX481Msi commit_time)

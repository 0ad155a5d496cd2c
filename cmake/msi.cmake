# QX481Mon.msi (installer/QX481Mon.wxs) around the executable, for the build's architecture:
# the package that Group Policy and software-distribution tools deploy.
find_program(WIXL wixl REQUIRED)
find_program(MSIBUILD msibuild REQUIRED)

# The version, maker and upgrade code, as res/version.h gives them to the executables.
set(VERSION_H ${CMAKE_SOURCE_DIR}/res/version.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VERSION_H})
foreach(name FILEVERSION FILEVERSION_TEXT COMPANY UPGRADE_CODE)
    file(STRINGS ${VERSION_H} line REGEX "^#define QX481_${name} ")
    string(REGEX REPLACE "^#define QX481_${name} \"?([^\"]*)\"?$" "\\1" MSI_${name} "${line}")
    if(NOT MSI_${name})
        message(FATAL_ERROR "res/version.h defines no QX481_${name}")
    endif()
endforeach()
string(REPLACE ", " "." MSI_FILEVERSION "${MSI_FILEVERSION}")

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(MSI_ARCH -a x64 -D Win64=yes)
else()
    set(MSI_ARCH -a x86)
endif()
set(MSI ${CMAKE_BINARY_DIR}/QX481Mon.msi)
set(WXS ${CMAKE_SOURCE_DIR}/installer/QX481Mon.wxs)
# Two things wixl cannot say are put into its package afterwards:
# - The file's version, so that Windows Installer compares versions, as for any program, rather
#   than contents and dates (wixl records a hash instead).
# - Its MajorUpgrade finds installed versions below this one only. Its upgrade row is made again
#   to take this same version too (VersionMaxInclusive 0x200 | MigrateFeatures 1), so that a
#   rebuild replaces an installed copy instead of installing beside it.
set(UPGRADE_ROW "`UpgradeCode`='${MSI_UPGRADE_CODE}' AND `ActionProperty`='WIX_UPGRADE_DETECTED'")
add_custom_command(OUTPUT ${MSI}
                   COMMAND ${CMAKE_COMMAND} -E remove -f ${MSI}.new
                   COMMAND ${WIXL} ${MSI_ARCH} -D Version=${MSI_FILEVERSION_TEXT}
                           -D Company=${MSI_COMPANY} -D UpgradeCode=${MSI_UPGRADE_CODE}
                           -D ProductExe=$<TARGET_FILE_NAME:QX481Mon> -o ${MSI}.new ${WXS}
                   COMMAND ${MSIBUILD} ${MSI}.new
                           -q "UPDATE `File` SET `Version`='${MSI_FILEVERSION}'"
                           -q "DELETE FROM `MsiFileHash`"
                           -q "DELETE FROM `Upgrade` WHERE ${UPGRADE_ROW}"
                           -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, \
`ActionProperty`) VALUES ('${MSI_UPGRADE_CODE}', '${MSI_FILEVERSION_TEXT}', 513, \
'WIX_UPGRADE_DETECTED')"
                   COMMAND ${CMAKE_COMMAND} -E rename ${MSI}.new ${MSI}
                   # wixl opens Source paths relative to where it runs only.
                   WORKING_DIRECTORY $<TARGET_FILE_DIR:QX481Mon>
                   DEPENDS QX481Mon ${WXS} ${VERSION_H} ${CMAKE_CURRENT_LIST_FILE}
                   COMMENT "Building the Windows Installer package QX481Mon.msi" VERBATIM)
add_custom_target(QX481Msi ALL DEPENDS ${MSI})

# Device discovery under Wine. Wine's SetupAPI records real devices in the prefix's registry,
# but its configuration manager is a set of stubs; the test cfgmgr32.dll built here answers
# from what SetupAPI recorded, for find_camera.exe only (it sits beside it). adddevice.exe
# creates each scenario's devices; cfgmgr32_check.exe holds that DLL to the real one's answers.
set(E2E_DEVICES_BIN ${CMAKE_CURRENT_BINARY_DIR}/devices)
set(E2E_DEVICES_FLAGS -Wall -Wextra -fno-exceptions -fno-rtti)
set(E2E_DEVICES_DEFINES _WIN32_WINNT=0x0501 WINVER=0x0501)
set(E2E_DEVICES_LINK -static-libgcc -static-libstdc++)

add_library(e2e_cfgmgr32 SHARED ${CMAKE_CURRENT_LIST_DIR}/cfgmgr32/cfgmgr32.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/cfgmgr32/cfgmgr32.def)
# Exported under the undecorated names the real DLL uses, so that imports bind by name.
target_link_options(e2e_cfgmgr32 PRIVATE -Wl,--kill-at)
target_link_libraries(e2e_cfgmgr32 PRIVATE setupapi)

add_executable(cfgmgr32_check ${CMAKE_CURRENT_LIST_DIR}/cfgmgr32/cfgmgr32_check.cpp)
target_link_libraries(cfgmgr32_check PRIVATE cfgmgr32 setupapi)

add_executable(adddevice ${CMAKE_CURRENT_LIST_DIR}/tools/adddevice.cpp)
target_link_libraries(adddevice PRIVATE setupapi)

add_executable(find_camera ${CMAKE_CURRENT_LIST_DIR}/devices/find_camera.cpp
                           ${CMAKE_SOURCE_DIR}/src/devices/discovery.cpp
                           ${CMAKE_SOURCE_DIR}/src/devices/hardware_ids.cpp)
target_include_directories(find_camera PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(find_camera PRIVATE cfgmgr32 setupapi)

foreach(target e2e_cfgmgr32 cfgmgr32_check adddevice find_camera)
    target_compile_options(${target} PRIVATE ${E2E_DEVICES_FLAGS})
    target_compile_definitions(${target} PRIVATE ${E2E_DEVICES_DEFINES})
    target_link_options(${target} PRIVATE ${E2E_DEVICES_LINK})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${E2E_DEVICES_BIN})
endforeach()
set_target_properties(e2e_cfgmgr32 PROPERTIES OUTPUT_NAME cfgmgr32 PREFIX "")

file(GLOB E2E_DEVICE_SCENARIOS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/devices/scenarios/*.txt)
foreach(scenario ${E2E_DEVICE_SCENARIOS})
    get_filename_component(name ${scenario} NAME_WE)
    add_test(NAME discovery_${name}
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/devices/run_scenario.sh ${scenario}
                     ${E2E_DEVICES_BIN} ${E2E_PREFIX_TEMPLATE} ${E2E_DEVICES_BIN}/prefixes)
    set_tests_properties(discovery_${name} PROPERTIES LABELS e2e)
endforeach()

# Device discovery under Wine. Wine's SetupAPI records real devices in the prefix's registry,
# but its configuration manager is a set of stubs; the test cfgmgr32.dll built here answers
# from what SetupAPI recorded (put it beside a program and run that with
# overrides="cfgmgr32=n"). adddevice.exe creates the devices; find_camera.exe runs the real
# discovery once; cfgmgr32_check.exe holds the test DLL to the real one's answers.
add_library(e2e_cfgmgr32 SHARED cfgmgr32/cfgmgr32.cpp cfgmgr32/cfgmgr32.def)
# Exported under the undecorated names the real DLL uses, so that imports bind by name.
target_link_options(e2e_cfgmgr32 PRIVATE -Wl,--kill-at)
target_link_libraries(e2e_cfgmgr32 PRIVATE setupapi)
e2e_binary(e2e_cfgmgr32)
set_target_properties(e2e_cfgmgr32 PROPERTIES OUTPUT_NAME cfgmgr32)

add_executable(adddevice tools/adddevice.cpp)
target_link_libraries(adddevice PRIVATE setupapi)
e2e_binary(adddevice)

# CFGMGR32 before SETUPAPI, whose MinGW import library also carries the CM_* names.
add_executable(cfgmgr32_check cfgmgr32/cfgmgr32_check.cpp)
target_link_libraries(cfgmgr32_check PRIVATE cfgmgr32 setupapi)
e2e_binary(cfgmgr32_check)

add_executable(find_camera find_camera.cpp ${CMAKE_SOURCE_DIR}/src/devices/discovery.cpp
                           ${CMAKE_SOURCE_DIR}/src/devices/hardware_ids.cpp)
target_include_directories(find_camera PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(find_camera PRIVATE cfgmgr32 setupapi)
e2e_binary(find_camera)

add_e2e_test(cfgmgr32 cfgmgr32_test.py)
add_e2e_test(discovery discovery_test.py)

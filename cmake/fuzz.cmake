# libFuzzer targets: tests/fuzz/<name>_fuzz.cpp, seeded from tests/fuzz/corpus/<name>/.
# Each runs for FUZZ_SECONDS in ctest; scripts/fuzz.sh runs them longer.
set(FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzz target runs under ctest")
# libFuzzer only checks its total time between inputs, so an input that hangs is ended here.
math(EXPR FUZZ_TIMEOUT "${FUZZ_SECONDS} + 120")
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(source ${FUZZ_SOURCES})
    get_filename_component(target ${source} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" corpus ${target})
    add_executable(${target} ${source} ${CMAKE_SOURCE_DIR}/tests/machine.cpp)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${target} PRIVATE qx481)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    set(work ${CMAKE_BINARY_DIR}/corpus/${corpus})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME ${target}
             COMMAND ${target} -max_total_time=${FUZZ_SECONDS} -print_final_stats=1 ${work}
                     ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${corpus})
    set_tests_properties(${target} PROPERTIES LABELS fuzz TIMEOUT ${FUZZ_TIMEOUT})
endforeach()

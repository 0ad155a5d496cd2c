# The host build: product sources against the simulated Windows in winsim/.
file(GLOB WINSIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/winsim/src/*.cpp)
add_library(winsim STATIC ${WINSIM_SOURCES})
target_include_directories(winsim PUBLIC ${CMAKE_SOURCE_DIR}/winsim/include)
# The one dialog template the simulated module holds is the monitor's.
target_include_directories(winsim PRIVATE ${CMAKE_SOURCE_DIR}/res)
target_compile_options(winsim PRIVATE -Wall -Wextra)

add_library(qx481 STATIC ${PRODUCT_SOURCES})
target_include_directories(qx481 PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
target_compile_options(qx481 PRIVATE ${PRODUCT_COMPILE_OPTIONS})
target_link_libraries(qx481 PUBLIC winsim)

option(QX_FUZZ "Build the libFuzzer targets instead of the unit tests" OFF)
if(QX_FUZZ)
    include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake)
    return()
endif()

# The support tool's report, run by the tests on simulated machines.
add_library(qx481diag STATIC ${CMAKE_SOURCE_DIR}/tools/diag/diag.cpp
                             ${CMAKE_SOURCE_DIR}/tools/diag/console.cpp)
target_include_directories(qx481diag PUBLIC ${CMAKE_SOURCE_DIR}/tools/diag
                                     PRIVATE ${CMAKE_SOURCE_DIR}/res)
target_compile_options(qx481diag PRIVATE ${PRODUCT_COMPILE_OPTIONS})
target_link_libraries(qx481diag PUBLIC qx481)

find_package(GTest REQUIRED)
file(GLOB TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*.cpp)
add_executable(host_tests ${TEST_SOURCES})
target_link_libraries(host_tests PRIVATE qx481diag qx481 GTest::gtest GTest::gtest_main)
include(GoogleTest)
# Listing the tests can be slow under the sanitizers on a loaded machine.
gtest_discover_tests(host_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS host)

# The check that picks the build the Wine tests run on, with stand-in loaders for both answers.
add_test(NAME wine_arch COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/wine_arch_test.sh)
set_tests_properties(wine_arch PROPERTIES LABELS host)

# Benchmarks: built on request (scripts/bench.sh), never run as tests.
find_package(benchmark QUIET)
if(benchmark_FOUND)
    file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
    add_executable(host_bench EXCLUDE_FROM_ALL ${BENCH_SOURCES})
    target_link_libraries(host_bench PRIVATE qx481 benchmark::benchmark benchmark::benchmark_main)
endif()

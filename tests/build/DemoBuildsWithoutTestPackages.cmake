# `make run` on a machine without GoogleTest and Google Benchmark: the project configures and
# the demo builds. Asking for the tests or the benchmarks then makes their package required.
# Run through ctest as: cmake -DSOURCE=<project> -DSCRATCH=<empty dir> -DCXX=<compiler> -P <this>

set(without_test_packages
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
  -DCMAKE_CXX_COMPILER=${CXX})

function(configure build_dir expect_success)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${build_dir} -DCMAKE_BUILD_TYPE=RelWithDebInfo
            ${without_test_packages} ${ARGN}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(expect_success AND NOT status EQUAL 0)
    message(FATAL_ERROR "Configuring without GoogleTest and Google Benchmark failed:\n${output}")
  elseif(NOT expect_success AND status EQUAL 0)
    message(FATAL_ERROR "Configuring with ${ARGN} succeeded although its package is missing:\n${output}")
  endif()
endfunction()

file(REMOVE_RECURSE ${SCRATCH})

configure(${SCRATCH}/demo TRUE)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${SCRATCH}/demo --target engine
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT EXISTS ${SCRATCH}/demo/engine)
  message(FATAL_ERROR "The demo did not build without the test packages:\n${output}")
endif()

configure(${SCRATCH}/tests FALSE -DENGINE_TESTS=ON)
configure(${SCRATCH}/benchmarks FALSE -DENGINE_BENCHMARKS=ON)

file(REMOVE_RECURSE ${SCRATCH})

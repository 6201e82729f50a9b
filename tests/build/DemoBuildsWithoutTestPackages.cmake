# `make run` on a machine without GoogleTest and Google Benchmark: the project configures, and
# asking for the tests or the benchmarks then makes their package required. On a system
# without X11 the library, the demo and the examples still build: headers that stand in for
# X11's and GLX's fail any source that still includes them. The X11-less build is left in
# SCRATCH/without-x11 for the test that installs it and builds a program on it. Debug: what is
# proved is that it builds, and an unoptimised build compiles fastest.
# Run through ctest as: cmake -DSOURCE=<project> -DSCRATCH=<empty dir> -DCXX=<compiler> -P <this>

set(without_test_packages
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
  -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=Debug)

function(configure build_dir expect_success)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${build_dir} ${without_test_packages} ${ARGN}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(expect_success AND NOT status EQUAL 0)
    message(FATAL_ERROR "Configuring with ${without_test_packages} ${ARGN} failed:\n${output}")
  elseif(NOT expect_success AND status EQUAL 0)
    message(FATAL_ERROR "Configuring with ${ARGN} succeeded although its package is missing:\n${output}")
  endif()
endfunction()

file(REMOVE_RECURSE ${SCRATCH})

# With X11: the build that compiles here is the same as the suite's own, so configuring is
# what there is to prove.
configure(${SCRATCH}/with-x11 TRUE)
configure(${SCRATCH}/with-x11 FALSE -DENGINE_TESTS=ON)
configure(${SCRATCH}/with-x11 FALSE -DENGINE_TESTS=OFF -DENGINE_BENCHMARKS=ON)
file(REMOVE_RECURSE ${SCRATCH}/with-x11)

set(no_x11_headers ${SCRATCH}/no-x11-headers)
foreach(header X11/Xlib.h X11/XKBlib.h X11/Xatom.h X11/Xutil.h GL/glx.h)
  file(WRITE ${no_x11_headers}/${header} "#error \"${header} is included in a build without X11\"\n")
endforeach()
configure(${SCRATCH}/without-x11 TRUE -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON
          -DCMAKE_CXX_FLAGS=-I${no_x11_headers})
execute_process(
  COMMAND ${CMAKE_COMMAND} --build ${SCRATCH}/without-x11 -j 2
          --target engine engine_examples
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT EXISTS ${SCRATCH}/without-x11/engine)
  message(FATAL_ERROR "The demo did not build without the test packages and X11:\n${output}")
endif()

# Another project builds a program on the engine and runs it for a few steps under the X
# display of the test run: with the engine installed into a scratch prefix and found with
# find_package (MODE=package), or with the engine's checkout added by add_subdirectory
# (MODE=subdirectory). With -DWITHOUT_X11=ON the program is configured as on a system
# without X11, so the engine installed from BUILD must not ask for it.
# Run through ctest as: cmake -DMODE=<mode> -DSOURCE=<project> -DBUILD=<its build dir>
#   -DSCRATCH=<empty dir> -DCXX=<compiler> [-DWITHOUT_X11=ON] -P <this>

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output
                  ERROR_VARIABLE output TIMEOUT 900)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${SCRATCH})
set(consumer ${CMAKE_CURRENT_LIST_DIR}/consumer)
if(MODE STREQUAL "package")
  run("Installing the engine" ${CMAKE_COMMAND} --install ${BUILD} --prefix ${SCRATCH}/prefix)
  foreach(installed include/engine/core/World.h include/engine/app/Run.h
          lib/cmake/Engine/EngineConfig.cmake lib/cmake/Engine/EngineConfigVersion.cmake)
    if(NOT EXISTS ${SCRATCH}/prefix/${installed})
      message(FATAL_ERROR "The install has no ${installed}")
    endif()
  endforeach()
  if(EXISTS ${SCRATCH}/prefix/include/engine/app/DemoScene.h)
    message(FATAL_ERROR "The demonstration's scene was installed with the engine")
  endif()
  set(how -DCMAKE_PREFIX_PATH=${SCRATCH}/prefix)
elseif(MODE STREQUAL "subdirectory")
  set(how -DENGINE_SOURCE_DIR=${SOURCE})
else()
  message(FATAL_ERROR "MODE must be package or subdirectory, not '${MODE}'")
endif()

if(WITHOUT_X11)
  list(APPEND how -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON)
endif()
# Debug: what is proved is that it builds and runs, and an unoptimised build compiles fastest.
run("Configuring the program" ${CMAKE_COMMAND} -S ${consumer} -B ${SCRATCH}/build
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=${CXX} ${how})
run("Building the program" ${CMAKE_COMMAND} --build ${SCRATCH}/build -j 2)
file(GLOB_RECURSE demoScene ${SCRATCH}/build/*engine_demo_scene*)
if(demoScene)
  message(FATAL_ERROR "The demonstration's scene was built with the program: ${demoScene}")
endif()
# It stops by itself after 5 steps, or before the first; the timeout only ends a program that
# never would.
run("Running the program" ${SCRATCH}/build/consumer 5)
if(NOT output MATCHES "steps=5 frames>0=1")
  message(FATAL_ERROR "The program did not run 5 steps and draw:\n${output}")
endif()
run("Running the program stopped while building" ${SCRATCH}/build/consumer 0)
if(NOT output MATCHES "steps=0")
  message(FATAL_ERROR "The program stopped while building still stepped:\n${output}")
endif()

file(REMOVE_RECURSE ${SCRATCH})

# Installs the build into a fresh prefix and builds the examples against it the two ways a host
# does: the writer with the flags pkg-config gives for `orvex`, the reader as a CMake project
# with find_package(orvex). The writer then writes a file that the reader reads back, and the
# installed orvex tool runs its demo.
#
# Arguments (-D): BUILD_DIR, SOURCE_DIR, WORK_DIR, CXX, CXX_FLAGS, LINKER_FLAGS, PKG_CONFIG,
# WINDOWS (true for a DLL build), and for a cross build TOOLCHAIN, MINGW_PREFIX (the toolchain's
# libraries) and EMULATOR (the command line that runs its programs).

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

file(GLOB pkgconfig_dirs ${prefix}/*/pkgconfig ${prefix}/*/*/pkgconfig)
run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pkgconfig_dirs} PKG_CONFIG_LIBDIR=${pkgconfig_dirs}
    ${PKG_CONFIG} --cflags --libs orvex)
separate_arguments(pkgconfig_flags UNIX_COMMAND "${output}")
separate_arguments(cxx_flags UNIX_COMMAND "${CXX_FLAGS} ${LINKER_FLAGS}")
if(WINDOWS)
  # A Windows program finds its DLLs in its own folder or on the search path, not by a run
  # path: the installed bin folder goes on Wine's search path when the programs run. The
  # build links its runtimes statically (-static), under which the linker looks for static
  # libraries only, so the DLLs' import libraries are named in a dynamic section.
  set(pkgconfig_flags -Wl,-Bdynamic ${pkgconfig_flags} -Wl,-Bstatic)
  set(run_path_flag)
  set(suffix .exe)
else()
  string(REGEX MATCH "-L([^ ]+)" libdir_flag "${output}")
  set(run_path_flag -Wl,-rpath,${CMAKE_MATCH_1})
  set(suffix)
endif()
run(${CXX} -std=c++17 ${cxx_flags} ${SOURCE_DIR}/examples/write_tiff.cpp
    -o ${WORK_DIR}/write_tiff${suffix} ${pkgconfig_flags} ${run_path_flag})

# A cross toolchain looks for packages below its own roots only, so the package folder is
# named directly there.
set(host_options -DCMAKE_PREFIX_PATH=${prefix})
if(TOOLCHAIN)
  list(APPEND host_options -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DORVEX_MINGW_PREFIX=${MINGW_PREFIX}
    -Dorvex_DIR=${prefix}/lib/cmake/orvex)
endif()
# The host project names no C++ standard, and its compiler is set to C++14, the default of GCC
# before 11: only the package's requirement makes the host C++17, which the host checks.
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/installed -B ${WORK_DIR}/cmake-host ${host_options}
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_CXX_FLAGS=${CXX_FLAGS} -std=gnu++14" "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-host)

separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
if(emulator)
  set(emulator ${CMAKE_COMMAND} -E env WINEPATH=${prefix}/bin ${emulator})
endif()
run(${emulator} ${WORK_DIR}/write_tiff${suffix} ${WORK_DIR}/written.tif separate)
run(${emulator} ${WORK_DIR}/cmake-host/read_tiff${suffix} ${WORK_DIR}/written.tif)
if(NOT output MATCHES "SpotColor \"Varnish\".*fnv1a64 d91477db5a190f25")
  message(FATAL_ERROR "unexpected reader output:\n${output}")
endif()
set(reader_output "${output}")

# The installed tool finds the installed libraries by itself (no loader path from here), and
# its demo writes into a temporary folder of the test's own.
set(temporary ${WORK_DIR}/temporary)
file(MAKE_DIRECTORY ${temporary})
if(NOT emulator)
  set(emulator ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH TMPDIR=${temporary})
endif()
run(${emulator} ${prefix}/bin/orvex${suffix})
if(NOT output MATCHES "read back 200 rows: every sample equals the one written")
  message(FATAL_ERROR "unexpected demo output:\n${output}")
endif()
message(STATUS "installed hosts built and ran:\n${reader_output}\n${output}")

# Installs the build into an empty prefix and imports the package from there with Debian's
# interpreter, as a user would after `cmake --install build --prefix PREFIX`: the package, and
# the library it loads, must both come from the prefix.
#   cmake -DBUILD=... -DPREFIX=... -DPACKAGE=<folder of the package under the prefix>
#         -DPYTHON=... -DIMAGE=<a TIFF file> -P installed.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
  OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
set(check [=[
import sys
import orvex
prefix = sys.argv[1]
loaded = [line.split()[-1] for line in open("/proc/self/maps") if "liborvex" in line]
assert orvex._orvex.__file__.startswith(prefix), orvex._orvex.__file__
assert loaded and all(path.startswith(prefix) for path in loaded), loaded
with orvex.open(sys.argv[2]) as file:
    print(file[0].info.samples)
]=])
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH
  PYTHONPATH=${PREFIX}/${PACKAGE} ${PYTHON} -c "${check}" ${PREFIX} ${IMAGE}
  WORKING_DIRECTORY ${PREFIX} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE error)
if(NOT status EQUAL 0 OR NOT output STREQUAL "[('R', 'colour'), ('G', 'colour'), ('B', 'colour')]\n")
  message(FATAL_ERROR "the installed package failed (${status}): ${output}${error}")
endif()
file(REMOVE_RECURSE ${PREFIX})

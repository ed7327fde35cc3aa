# Builds the probes of tests/layers: every legal one must build, and every
# upward one must fail because its header is not found (not for another reason).
# -DBUILD_DIR=<build folder> -DLEGAL=<probe:header;...> -DUPWARD=<probe:header;...>

function(build_probes entries result output)
  set(targets "")
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE ":.*" "" probe ${entry})
    list(APPEND targets ${probe})
  endforeach()
  # Keep going past failures, so that every upward probe is tried.
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${targets} -- -k 0
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
  set(${result} ${code} PARENT_SCOPE)
  set(${output} "${out}" PARENT_SCOPE)
endfunction()

build_probes("${LEGAL}" code out)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "A legal include does not build:\n${out}")
endif()
list(LENGTH LEGAL legal_count)

build_probes("${UPWARD}" code out)
set(built "")
foreach(entry IN LISTS UPWARD)
  string(REGEX REPLACE ":.*" "" probe ${entry})
  string(REGEX REPLACE ".*:" "" header ${entry})
  string(REPLACE "." "\\." header_pattern ${header})
  # GCC: "Screen.h: No such file or directory"; clang: "'Screen.h' file not found".
  if(NOT out MATCHES "${probe}\\.cpp:[0-9]+:[0-9]+: fatal error: ('${header_pattern}' file not found|${header_pattern}: No such file)")
    list(APPEND built ${probe})
  endif()
endforeach()
if(built)
  message(FATAL_ERROR "Upward includes that build or fail for another reason: ${built}\n${out}")
endif()
list(LENGTH UPWARD upward_count)
message(STATUS "${legal_count} legal includes build, ${upward_count} upward includes do not")

# Reads the built LV2 bundle the way LV2 hosts do, through lilv's lv2info, and checks the choice
# lists hosts offer: lilv parses every parameter (the ports come last in the description, so a
# fault anywhere stops them from being listed), and the scale points are in the parameter's range.
# Arguments: -DLV2INFO=<lv2info> -DLV2_DIR=<folder holding the bundle> -DURI=<plug-in URI>
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "LV2_PATH=${LV2_DIR}" "${LV2INFO}" "${URI}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lv2info failed (${rc}):\n${err}")
endif()
if(NOT err STREQUAL "")
  message(FATAL_ERROR "lilv reported problems reading the bundle:\n${err}")
endif()
foreach(expected "Name:[ \t]+VYR Quarn" "Symbol:[ \t]+audio_in_1" "Symbol:[ \t]+enabled")
  if(NOT out MATCHES "${expected}")
    message(FATAL_ERROR "lv2info does not show '${expected}':\n${out}")
  endif()
endforeach()

# Each choice below, in the description lilv just read: its points in order, valued 0..N-1.
file(READ "${LV2_DIR}/VYR Quarn.lv2/dsp.ttl" ttl)
foreach(case "meteringMode|0 1 2 3" "theme|0 1 2 3 4 5" "linkLR|0 1")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 symbol)
  list(GET parts 1 want)
  string(FIND "${ttl}" "plug:${symbol}\n" start)
  if(start LESS 0)
    message(FATAL_ERROR "no parameter ${symbol} in dsp.ttl")
  endif()
  string(SUBSTRING "${ttl}" ${start} -1 rest)
  string(FIND "${rest}" "] ." end)
  string(SUBSTRING "${rest}" 0 ${end} block)
  string(REGEX MATCHALL "rdf:value [^ ;]+" values "${block}")
  string(REPLACE "rdf:value " "" values "${values}")
  string(REPLACE ";" " " values "${values}")
  if(NOT values STREQUAL want)
    message(FATAL_ERROR "scale points of ${symbol} are '${values}', expected '${want}'")
  endif()
endforeach()

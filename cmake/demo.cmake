# Runs the demo: cmake -DD88MAKE=... -DD88CUT=... -DDIR=... -P demo.cmake
file(REMOVE_RECURSE "${DIR}")
file(MAKE_DIRECTORY "${DIR}")
execute_process(COMMAND "${D88MAKE}" demo "${DIR}/demo.d88" RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "could not make the demo image")
endif()
message(STATUS "Demo image: ${DIR}/demo.d88 (a synthetic system disk; every sector says where it came from)")
message(STATUS "Running: d88cut demo.d88 in ${DIR}")
# The recognition line is Shift-JIS; show it readable where iconv exists.
find_program(ICONV iconv)
if(ICONV)
  execute_process(COMMAND "${D88CUT}" demo.d88 COMMAND "${ICONV}" -f SHIFT_JIS -t UTF-8
                  WORKING_DIRECTORY "${DIR}" RESULT_VARIABLE status)
else()
  execute_process(COMMAND "${D88CUT}" demo.d88 WORKING_DIRECTORY "${DIR}" RESULT_VARIABLE status)
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "d88cut failed: ${status}")
endif()
message(STATUS "What was written (file offsets, then the sector each piece came from):")
execute_process(COMMAND "${D88MAKE}" show DRIVER MUSIC1 MUSIC2 MUSIC3 MUSIC4 MUSIC5 MUSIC6
                WORKING_DIRECTORY "${DIR}")

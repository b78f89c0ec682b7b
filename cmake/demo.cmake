# Runs the demo: cmake -DD88MAKE=... -DD88CUT=... -DD88INFO=... -DDIR=... -P demo.cmake
file(REMOVE_RECURSE "${DIR}")
file(MAKE_DIRECTORY "${DIR}")
execute_process(COMMAND "${D88MAKE}" demo "${DIR}/demo.d88" RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "could not make the demo image")
endif()
message(STATUS "Demo image: ${DIR}/demo.d88 (a synthetic system disk; every sector says where it came from)")
message(STATUS "Running: d88cut demo.d88 in ${DIR}")
# d88cut writes its Japanese line in UTF-8 to a terminal that reads UTF-8,
# as it does for any user; redirected, it writes the Shift-JIS bytes.
execute_process(COMMAND "${D88CUT}" demo.d88 WORKING_DIRECTORY "${DIR}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "d88cut failed: ${status}")
endif()
message(STATUS "What was written (file offsets, then the sector each piece came from):")
execute_process(COMMAND "${D88MAKE}" show DRIVER MUSIC1 MUSIC2 MUSIC3 MUSIC4 MUSIC5 MUSIC6
                WORKING_DIRECTORY "${DIR}")
message(STATUS "Running: d88info demo.d88 (what the image holds, and whether d88cut cuts its files whole)")
execute_process(COMMAND "${D88INFO}" demo.d88 WORKING_DIRECTORY "${DIR}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "d88info failed: ${status}")
endif()
message(STATUS "The programs: ${D88CUT} and ${D88INFO}")

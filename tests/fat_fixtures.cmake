# Makes the FAT12 fixtures with mtools: a raw image per layout, and what
# mcopy reads out of it, to compare d88ls and d88get with.
#   cmake -DOUT=dir -P fat_fixtures.cmake
find_program(MFORMAT mformat)
find_program(MCOPY mcopy)
find_program(MMD mmd)
find_program(MDEL mdel)
if(NOT MFORMAT OR NOT MCOPY OR NOT MMD OR NOT MDEL)
  message(STATUS "mtools not found: no FAT fixtures")
  return()
endif()
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}/input")
# The files: one of many clusters, a zero-length one, text, and two that
# leave a gap for a fragmented one.
string(REPEAT "0123456789abcdef" 400 big)
file(WRITE "${OUT}/input/big.bin" "${big}")
file(WRITE "${OUT}/input/empty.txt" "")
file(WRITE "${OUT}/input/readme.txt" "A text file.\r\n")
string(REPEAT "gap " 300 gap)
file(WRITE "${OUT}/input/gap1.bin" "${gap}")
file(WRITE "${OUT}/input/gap2.bin" "${gap}")
string(REPEAT "fragmented " 400 fragmented)
file(WRITE "${OUT}/input/frag.bin" "${fragmented}")
set(ENV{MTOOLS_SKIP_CHECK} 1)
set(ENV{MTOOLS_NO_VFAT} "")
# name, then the mformat arguments, all separated by commas
set(layouts
    "720k,-f,720"
    "1440k,-f,1440"
    "1200k,-f,1200"
    "pc98,-t,77,-h,2,-s,8,-S,3,-r,6,-c,1"
    "320k,-f,320")
foreach(entry ${layouts})
  string(REPLACE "," ";" parts "${entry}")
  list(GET parts 0 name)
  list(SUBLIST parts 1 -1 args)
  set(img "${OUT}/${name}.img")
  set(i -i "${img}")
  execute_process(COMMAND ${MFORMAT} -C ${args} -v FIXTURE ${i} :: RESULT_VARIABLE r1)
  execute_process(COMMAND ${MCOPY} ${i} "${OUT}/input/big.bin" ::BIG.BIN RESULT_VARIABLE r2)
  execute_process(COMMAND ${MCOPY} ${i} "${OUT}/input/gap1.bin" ::GAP1.BIN)
  execute_process(COMMAND ${MCOPY} ${i} "${OUT}/input/gap2.bin" ::GAP2.BIN)
  execute_process(COMMAND ${MDEL} ${i} ::GAP1.BIN)
  execute_process(COMMAND ${MCOPY} ${i} "${OUT}/input/frag.bin" ::FRAG.BIN)
  execute_process(COMMAND ${MMD} ${i} ::SUB)
  execute_process(COMMAND ${MCOPY} ${i} "${OUT}/input/empty.txt" ::SUB/EMPTY.TXT)
  execute_process(COMMAND ${MCOPY} ${i} "${OUT}/input/readme.txt" "::SUB/A long file name.txt")
  if(NOT r1 EQUAL 0 OR NOT r2 EQUAL 0)
    message(FATAL_ERROR "mtools could not make ${name}")
  endif()
  file(MAKE_DIRECTORY "${OUT}/${name}")
  execute_process(COMMAND ${MCOPY} -s -m ${i} "::/*" "${OUT}/${name}/" RESULT_VARIABLE r3)
  if(NOT r3 EQUAL 0)
    message(FATAL_ERROR "mcopy could not read ${name}")
  endif()
endforeach()
file(WRITE "${OUT}/done" "")

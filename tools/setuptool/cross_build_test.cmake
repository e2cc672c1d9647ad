# The host setuptool and the Windows setuptool.exe (under Wine) pack the same tree into
# byte-identical packages, and each reads what the other wrote.
#
# cmake -DHOST_TOOL=... -DWINDOWS_TOOL=... -DWINE=... -DWORK_DIR=... -P cross_build_test.cmake
if(NOT EXISTS "${HOST_TOOL}")
  message("host setuptool not built (${HOST_TOOL}): build the host preset first")
  return()
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
set(tree "${WORK_DIR}/tree")
string(REPEAT "Nolu plays media. " 4000 text)
string(RANDOM LENGTH 150000 RANDOM_SEED 20240601 noise)
file(WRITE "${tree}/readme.txt" "${text}")
file(WRITE "${tree}/lang/English.lng" "[Common]\r\nA1=Copying files\r\n${text}")
file(WRITE "${tree}/lang/Deutsch.lng" "[Common]\r\nA1=Dateien werden kopiert\r\n")
file(WRITE "${tree}/bin/noise.bin" "${noise}${text}${noise}")
file(WRITE "${tree}/Sub Folder/with blank.txt" "blank\r\nline\nend\r")
file(WRITE "${tree}/empty.txt" "")

function(run what)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE code
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${what} failed (${code}):\n${out}${err}")
  endif()
endfunction()

function(same_file a b what)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK_DIR}/${a}" "${WORK_DIR}/${b}"
                  RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${what}: ${a} and ${b} differ")
  endif()
endfunction()

set(host ${HOST_TOOL})
set(windows ${WINE} ${WINDOWS_TOOL})
foreach(options "--level;4" "--level;0;--key;other key")
  string(MAKE_C_IDENTIFIER "${options}" tag)
  run("host pack ${options}" ${host} pack host_${tag}.pkg tree ${options})
  run("Windows pack ${options}" ${windows} pack win_${tag}.pkg tree ${options})
  same_file(host_${tag}.pkg win_${tag}.pkg "packages of the same tree (${options})")
endforeach()

# Each build reads what the other wrote, entry by entry.
run("Windows verify" ${windows} verify host___level_4.pkg)
run("host verify" ${host} verify win___level_4.pkg)
run("Windows extract" ${windows} extract host___level_4.pkg out_windows)
run("host extract" ${host} extract win___level_4.pkg out_host)
file(GLOB_RECURSE files RELATIVE "${tree}" "${tree}/*")
foreach(f ${files})
  same_file("tree/${f}" "out_windows/${f}" "Windows extraction")
  same_file("tree/${f}" "out_host/${f}" "host extraction")
endforeach()

# cat writes bytes, not text: no CR is added or lost on Windows.
execute_process(COMMAND ${windows} cat host___level_4.pkg "sub folder\\WITH BLANK.txt"
                WORKING_DIRECTORY "${WORK_DIR}" OUTPUT_FILE "${WORK_DIR}/cat_windows.txt"
                RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "Windows cat failed (${code})")
endif()
same_file("tree/Sub Folder/with blank.txt" cat_windows.txt "Windows cat")
message("host and Windows builds write the same packages and read each other's")

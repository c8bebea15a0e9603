# Runs a program (under EMULATOR when given) with its standard output in
# OUTPUT, and fails unless it exits with 0 and OUTPUT is byte for byte
# EXPECTED. EMULATOR and ARGS are lists separated by ",".
#   cmake -DEXE=... -DARGS=a,b -DOUTPUT=... -DEXPECTED=... [-DEMULATOR=...] -P run_output.cmake
string(REPLACE "," ";" args "${ARGS}")
string(REPLACE "," ";" emulator "${EMULATOR}")
execute_process(COMMAND ${emulator} ${EXE} ${args}
                OUTPUT_FILE ${OUTPUT}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${EXE} ${args}: exit status ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${EXPECTED}
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${OUTPUT} differs from ${EXPECTED}")
endif()

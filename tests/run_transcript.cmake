cmake_minimum_required(VERSION 3.20)

# Plays the game on a script and compares what it wrote with the transcript.
#
#   cmake -DGAME=<executable> -DSCRIPT=<input> -DEXPECTED=<transcript>
#         -DACTUAL=<file to keep the output in> [-DEMULATOR="<runner> <args>"]
#         [-DEOL=crlf] [-DPIPE=ON] -P run_transcript.cmake
#
# The script is the game's standard input as a file or, with PIPE=ON, through
# a pipe.
# The whole standard output must equal the transcript byte for byte, standard
# error must stay empty and the exit status must be 0. With EOL=crlf (a
# Windows build) each CR LF of the output is read as LF first, and nothing
# else is changed.
foreach(required GAME SCRIPT EXPECTED ACTUAL)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "run_transcript.cmake needs -D${required}=...")
  endif()
endforeach()

separate_arguments(EMULATOR UNIX_COMMAND "${EMULATOR}")
# Both outputs go to files, never pipes: the wait is then for the game alone,
# not for whatever helper it leaves behind holding a pipe open (wine starts
# such helpers with its first program).
set(errors_file ${ACTUAL}.stderr)
if(PIPE)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E cat ${SCRIPT}
    COMMAND ${EMULATOR} ${GAME}
    OUTPUT_FILE ${ACTUAL}
    ERROR_FILE ${errors_file}
    RESULT_VARIABLE status
    TIMEOUT 120)
else()
  execute_process(
    COMMAND ${EMULATOR} ${GAME}
    INPUT_FILE ${SCRIPT}
    OUTPUT_FILE ${ACTUAL}
    ERROR_FILE ${errors_file}
    RESULT_VARIABLE status
    TIMEOUT 120)
endif()
file(READ ${errors_file} errors)

set(faults "")
if(NOT status STREQUAL "0")
  string(APPEND faults "exit status: ${status} (expected 0)\n")
endif()
if(NOT errors STREQUAL "")
  string(APPEND faults "standard error was not empty:\n${errors}\n")
endif()

# The game writes only its own texts, so the output reads as a string.
file(READ ${ACTUAL} actual)
file(READ ${EXPECTED} expected)
set(compared ${ACTUAL})
if(EOL STREQUAL "crlf")
  string(REPLACE "\r\n" "\n" actual "${actual}")
  set(compared ${ACTUAL}.lf)
  file(WRITE ${compared} "${actual}")
endif()

if(NOT "${actual}" STREQUAL "${expected}")
  string(APPEND faults "standard output differs from ${EXPECTED}\n")
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND ${DIFF} -u ${EXPECTED} ${compared}
      OUTPUT_VARIABLE difference)
    string(SUBSTRING "${difference}" 0 4000 difference)
    string(APPEND faults "${difference}")
  endif()
endif()

if(NOT faults STREQUAL "")
  message(FATAL_ERROR "${faults}")
endif()

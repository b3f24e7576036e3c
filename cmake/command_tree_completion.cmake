# Writes the bash completion: the template with the program's command tree put in.
#   cmake -DPROGRAM=kartwerk -DTEMPLATE=in -DOUTPUT=out -P command_tree_completion.cmake
execute_process(COMMAND ${PROGRAM} --command-tree OUTPUT_VARIABLE tree RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR tree STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --command-tree failed (${status})")
endif()
file(READ ${TEMPLATE} text)
string(REPLACE "@KARTWERK_COMMAND_TREE@" "${tree}" text "${text}")
file(WRITE ${OUTPUT} "${text}")

# Writes the structure file of the script packages: what the binding generator prints with -P
# for each package (PKGS, separated by '|'), one after the other, into OUT.
string(REPLACE "|" ";" packages "${PKGS}")
set(text "")
list(REMOVE_ITEM packages "")
foreach(pkg IN LISTS packages)
  get_filename_component(dir ${pkg} DIRECTORY)
  execute_process(COMMAND ${TOLUA} -P ${pkg} WORKING_DIRECTORY ${dir}
    OUTPUT_VARIABLE out RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the binding generator failed on ${pkg}")
  endif()
  string(APPEND text "${out}")
endforeach()
file(WRITE ${OUT} "${text}")

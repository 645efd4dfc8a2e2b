# Script bindings are generated from package files by tolua++ at build time and never kept in
# the sources. After generation, the integer and byte conversions of script numbers are routed
# through the saturating converters of scripting/binding_conventions.h, so that NaN and numbers
# beyond the integer range have a defined result.
find_program(TOLUA_EXECUTABLE NAMES tolua++5.1 tolua++ REQUIRED)

# celvane_tolua_bindings(<target> <package file> <package name> [RECORD])
# adds the generated source to the target; its opener is tolua_<package name>_open. With
# RECORD the objects the bindings hand out by pointer are noted in the record of script objects.
function(celvane_tolua_bindings target pkg name)
  set(record OFF)
  if("RECORD" IN_LIST ARGN)
    set(record ON)
  endif()
  get_filename_component(pkg_dir ${pkg} DIRECTORY)
  set(raw ${CMAKE_CURRENT_BINARY_DIR}/${name}_bindings_raw.cpp)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${name}_bindings.cpp)
  file(GLOB pkg_deps CONFIGURE_DEPENDS ${pkg_dir}/*.pkg)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${TOLUA_EXECUTABLE} -n ${name} -o ${raw} ${pkg}
    COMMAND ${CMAKE_COMMAND} -DIN=${raw} -DOUT=${out} -DRECORD=${record} -P ${CELVANE_TOLUA_FIXUP}
    DEPENDS ${pkg_deps} ${CELVANE_TOLUA_FIXUP}
    WORKING_DIRECTORY ${pkg_dir}
    COMMENT "Generating the ${name} script bindings"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
  # The generated code is the generator's; its unused-parameter style is not ours to fix.
  set_source_files_properties(${out} PROPERTIES COMPILE_OPTIONS "-Wno-unused-parameter;-Wno-unused-variable;-Wno-unused-function")
endfunction()

set(CELVANE_TOLUA_FIXUP ${CMAKE_CURRENT_LIST_DIR}/tolua_fixup.cmake)

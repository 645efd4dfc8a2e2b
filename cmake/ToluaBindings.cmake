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

# celvane_tolua_structure(<target> <output file> <package file>...)
# adds a target that writes the structure file of the packages, which the scripting
# documentation generator reads.
function(celvane_tolua_structure target out)
  set(pkgs "")
  set(deps "")
  foreach(pkg IN LISTS ARGN)
    get_filename_component(pkg_dir ${pkg} DIRECTORY)
    file(GLOB more CONFIGURE_DEPENDS ${pkg_dir}/*.pkg)
    list(APPEND deps ${more})
    string(APPEND pkgs "${pkg}|")
  endforeach()
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DTOLUA=${TOLUA_EXECUTABLE} -DOUT=${out} -DPKGS=${pkgs} -P ${CELVANE_TOLUA_STRUCTURE}
    DEPENDS ${deps} ${CELVANE_TOLUA_STRUCTURE}
    COMMENT "Writing the script structure file"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${out})
endfunction()

set(CELVANE_TOLUA_STRUCTURE ${CMAKE_CURRENT_LIST_DIR}/tolua_structure.cmake)

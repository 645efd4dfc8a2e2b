# One static library per subsystem folder. Sources are globbed so that adding
# a file pair never means editing a shared list.
function(celvane_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(NOT srcs)
    # A folder whose first files have not arrived yet.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# One GoogleTest executable per tests/<folder>, labelled with the folder.
# FIXTURE names a CTest fixture that every test of the folder requires.
function(celvane_tests folder)
  cmake_parse_arguments(ARG "" "FIXTURE" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  set(exe test_${folder})
  add_executable(${exe} ${srcs})
  target_link_libraries(${exe} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  target_compile_definitions(${exe} PRIVATE
    CELVANE_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    CELVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set(props LABELS ${folder})
  if(ARG_FIXTURE)
    list(APPEND props FIXTURES_REQUIRED ${ARG_FIXTURE})
  endif()
  gtest_discover_tests(${exe}
    PROPERTIES ${props}
    DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

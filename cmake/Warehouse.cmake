# warehouse_library(name DEPS deps...): one library per src/ folder, made of every
# source file in it (and its subfolders), so adding a file needs no edit here.
function(warehouse_library name)
  cmake_parse_arguments(L "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${L_DEPS})
endfunction()

# warehouse_test(name LIBS libs...): one test program made of every source in the
# current tests/ folder, run by CTest offscreen in a UTF-8 locale.
function(warehouse_test name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()  # a folder whose tests are still to come
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE testsupport ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANG=C.UTF-8;WAREHOUSE_APP_DIR=${APP_DIR}"
    TIMEOUT 900)
endfunction()

# launcher_test(NAME SOURCES src... LIBS lib... [LABELS label...])
# One GoogleTest executable registered with CTest; label `unit` unless told otherwise. Called from
# host/tests/ only, which finds GoogleTest.
function(launcher_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE LAUNCHER_TEST_FIXTURES="${PROJECT_SOURCE_DIR}/host/tests/fixtures")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
endfunction()

# launcher_embed_text(OUTPUT file.cpp HEADER file.hpp NAMESPACE ns FILES a.js b.js)
# Generates a source and header declaring `const std::string_view <stem>` for each file, so
# scripts and pages live in their own files and are compiled in. Regenerated when a file changes.
function(launcher_embed_text)
  cmake_parse_arguments(E "" "OUTPUT;HEADER;NAMESPACE" "FILES" ${ARGN})
  add_custom_command(
    OUTPUT ${E_OUTPUT} ${E_HEADER}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${E_OUTPUT} -DHEADER=${E_HEADER} -DNAMESPACE=${E_NAMESPACE} "-DFILES=${E_FILES}"
            -P ${PROJECT_SOURCE_DIR}/host/cmake/embed_text.cmake
    DEPENDS ${E_FILES} ${PROJECT_SOURCE_DIR}/host/cmake/embed_text.cmake
    VERBATIM)
endfunction()

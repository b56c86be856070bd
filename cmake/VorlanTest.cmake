# vorlan_add_test(<name> SOURCES <files...> LIBS <targets...> [RUNNER <program and options...>])
# One Qt Test executable per subsystem; tests/TestMain.cpp runs every class
# registered with VORLAN_TEST_CLASS in it.
function(vorlan_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;RUNNER" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/TestMain.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test Qt6::Widgets)
  target_compile_definitions(${name} PRIVATE
    VORLAN_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    VORLAN_BUILD_DIR="${CMAKE_BINARY_DIR}")
  # A runner wraps the test, e.g. in a private session bus.
  add_test(NAME ${name} COMMAND ${T_RUNNER} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/lsan.supp"
    TIMEOUT 600)
endfunction()

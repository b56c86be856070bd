# vorlan_add_test(<name> SOURCES <files...> LIBS <targets...> [RUNNER <program and options...>]
#                 [LABELS <labels...>] [TIMEOUT <seconds>])
# One Qt Test executable per subsystem; tests/TestMain.cpp runs every class registered with VORLAN_TEST_CLASS
# in it. Its CTest entry <name> (labels "unit" and 60 s unless given) runs the classes that no
# vorlan_add_test_entry() took.
# vorlan_add_test_entry(<entry> TEST <name> CLASSES <classes...> LABELS <labels...> TIMEOUT <seconds>)
# A CTest entry of its own for the long classes of test <name>: "e2e" for the whole program started as a
# user would, "slow" for what takes longer than the rest of the suite's entries.
# "ctest -L unit" runs the quick ones, "ctest -LE slow" all but the slow ones.
function(vorlan_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;RUNNER;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/TestMain.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test Qt6::Widgets)
  target_compile_definitions(${name} PRIVATE
    VORLAN_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    VORLAN_BUILD_DIR="${CMAKE_BINARY_DIR}")
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 60)
  endif()
  # A runner wraps the test, e.g. in a private session bus.
  set_target_properties(${name} PROPERTIES VORLAN_RUNNER "${T_RUNNER}" VORLAN_LABELS "${T_LABELS}"
                                           VORLAN_TIMEOUT ${T_TIMEOUT} VORLAN_OWN_ENTRIES "")
  # Added at the end of the folder, once every entry of its own has taken its classes.
  cmake_language(EVAL CODE "cmake_language(DEFER CALL _vorlan_add_rest_entry ${name})")
endfunction()

function(_vorlan_ctest entry target labels timeout)
  get_target_property(runner ${target} VORLAN_RUNNER)
  if(NOT runner)
    set(runner)
  endif()
  # Sanitized builds run several times slower.
  if(VORLAN_SANITIZE OR VORLAN_TSAN OR VORLAN_FUZZ)
    math(EXPR timeout "${timeout} * 5")
  endif()
  add_test(NAME ${entry} COMMAND ${runner} $<TARGET_FILE:${target}> ${ARGN})
  set_tests_properties(${entry} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/lsan.supp"
    LABELS "${labels}" TIMEOUT ${timeout})
endfunction()

function(_vorlan_add_rest_entry name)
  get_target_property(labels ${name} VORLAN_LABELS)
  get_target_property(timeout ${name} VORLAN_TIMEOUT)
  get_target_property(taken ${name} VORLAN_OWN_ENTRIES)
  set(skip)
  if(taken)
    list(JOIN taken "," classes)
    set(skip -skip-classes ${classes})
  endif()
  _vorlan_ctest(${name} ${name} "${labels}" ${timeout} ${skip})
endfunction()

function(vorlan_add_test_entry entry)
  cmake_parse_arguments(E "" "TEST;TIMEOUT" "CLASSES;LABELS" ${ARGN})
  set_property(TARGET ${E_TEST} APPEND PROPERTY VORLAN_OWN_ENTRIES ${E_CLASSES})
  list(JOIN E_CLASSES "," classes)
  _vorlan_ctest(${entry} ${E_TEST} "${E_LABELS}" ${E_TIMEOUT} -only-classes ${classes})
endfunction()

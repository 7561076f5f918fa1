# kq_test(<name> SOURCES <files...> [LIBRARIES <targets...>] [TIMEOUT <seconds>])
# One GoogleTest executable registered as one CTest test. Every test gets its own simulator
# state folder, so nothing touches the user's state directory, a runtime folder of its own, so no
# chassis server of the user is found at the default socket, and Qt's offscreen platform.
function(kq_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set(runtime_folder ${CMAKE_BINARY_DIR}/test-state/${name}/runtime)
  file(MAKE_DIRECTORY ${runtime_folder})
  file(CHMOD ${runtime_folder} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "KQ7120_SIM_STATE_DIR=${CMAKE_BINARY_DIR}/test-state/${name};XDG_RUNTIME_DIR=${runtime_folder};QT_QPA_PLATFORM=offscreen;KQ_SOURCE_DIR=${CMAKE_SOURCE_DIR};KQ_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

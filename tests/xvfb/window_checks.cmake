# The program's widget kinds in a real window, and kelvorantide itself driven through the main
# road; each check on an Xvfb display of its own (on_own_display.sh), label xvfb.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  add_executable(widget_kinds_check ${CMAKE_CURRENT_LIST_DIR}/widget_kinds_check.cpp)
  target_link_libraries(widget_kinds_check PRIVATE kv_platform_fltk kv_all)

  add_executable(mainroad_window_check ${CMAKE_CURRENT_LIST_DIR}/mainroad_window_check.cpp)
  target_include_directories(mainroad_window_check PRIVATE ${PROJECT_SOURCE_DIR}/code)
  # It runs the programs and the fixture generator: build them with it.
  add_dependencies(mainroad_window_check kelvorantide kelvor-script kelvor-gen kv_fixtures)

  if(KV_XVFB)
    set(_env "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
    set(_on_display ${CMAKE_CURRENT_LIST_DIR}/on_own_display.sh)
    foreach(_mode layout clicks)
      add_test(NAME xvfb_widget_${_mode} COMMAND ${_on_display} $<TARGET_FILE:widget_kinds_check> ${_mode})
      set_tests_properties(xvfb_widget_${_mode} PROPERTIES LABELS xvfb TIMEOUT 60 ENVIRONMENT "${_env}")
    endforeach()
    foreach(_mode road stop)
      add_test(NAME xvfb_mainroad_${_mode}
               COMMAND ${_on_display} $<TARGET_FILE:mainroad_window_check> ${_mode}
                       $<TARGET_FILE:kelvorantide> $<TARGET_FILE:kelvor-script> $<TARGET_FILE:kelvor-gen>
                       ${CMAKE_BINARY_DIR}/fixtures ${PROJECT_SOURCE_DIR}/tests/fixtures/specs/mainroad.spec)
      set_tests_properties(xvfb_mainroad_${_mode} PROPERTIES LABELS xvfb TIMEOUT 60 ENVIRONMENT "${_env}")
    endforeach()
  endif()
endif()

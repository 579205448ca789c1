# Keystrokes and clicks that must not decide for the user: Return in the exit question keeps the
# session; a double click on "Accept" writes only the reflection shown (kv_window_test, label xvfb).
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  add_executable(decide_window_check ${CMAKE_CURRENT_LIST_DIR}/decide_window_check.cpp)
  target_include_directories(decide_window_check PRIVATE ${PROJECT_SOURCE_DIR}/code)
  add_dependencies(decide_window_check kelvorantide kv_fixtures)
  find_package(X11 REQUIRED)
  target_link_libraries(decide_window_check PRIVATE ${X11_LIBRARIES})
  target_include_directories(decide_window_check PRIVATE ${X11_INCLUDE_DIR})
  if(KV_XVFB)
    foreach(_mode exitenter doubleaccept)
      kv_window_test(xvfb_decide_${_mode} 120 $<TARGET_FILE:decide_window_check> ${_mode}
                     $<TARGET_FILE:kelvorantide> ${CMAKE_BINARY_DIR}/fixtures)
    endforeach()
  endif()
endif()

# Text colours and fonts read back from a real window, on an Xvfb display of its own.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  add_executable(looks_window_check ${CMAKE_CURRENT_LIST_DIR}/looks_window_check.cpp)
  target_link_libraries(looks_window_check PRIVATE kv_platform_fltk kv_all)
  if(KV_XVFB)
    kv_window_test(xvfb_looks 60 $<TARGET_FILE:looks_window_check>)
  endif()
endif()

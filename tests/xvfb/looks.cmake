# Text colours and fonts read back from a real window, on an Xvfb display of its own.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  add_executable(looks_window_check ${CMAKE_CURRENT_LIST_DIR}/looks_window_check.cpp)
  target_link_libraries(looks_window_check PRIVATE kv_platform_fltk kv_all)
  if(KV_XVFB)
    add_test(NAME xvfb_looks COMMAND ${CMAKE_CURRENT_LIST_DIR}/on_own_display.sh $<TARGET_FILE:looks_window_check>)
    set_tests_properties(xvfb_looks PROPERTIES LABELS xvfb TIMEOUT 60
      ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
  endif()
endif()

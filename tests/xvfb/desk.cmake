# The FLTK front end's desktop services (colour chooser, busy cursor, key callbacks, window
# stacking, clipboard, printing) in real windows, each check on its own Xvfb display.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  find_package(X11 REQUIRED)
  add_executable(desk_window_check ${CMAKE_CURRENT_LIST_DIR}/desk_window_check.cpp)
  target_link_libraries(desk_window_check PRIVATE kv_platform_fltk kv_all ${X11_Xfixes_LIB})
  # Another program that pastes from the clipboard (plain Xlib), as a user's program would.
  add_executable(clipboard_read ${CMAKE_CURRENT_LIST_DIR}/clipboard_read.cpp)
  target_link_libraries(clipboard_read PRIVATE ${X11_LIBRARIES})
  add_dependencies(desk_window_check clipboard_read)
  if(KV_XVFB)
    foreach(_mode colour cursor hotkey stacking stacking-wm clipboard print)
      add_test(NAME xvfb_desk_${_mode}
               COMMAND ${CMAKE_CURRENT_LIST_DIR}/on_own_display.sh $<TARGET_FILE:desk_window_check> ${_mode}
                       $<TARGET_FILE:clipboard_read>)
      set_tests_properties(xvfb_desk_${_mode} PROPERTIES LABELS xvfb TIMEOUT 60
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
    endforeach()
  endif()
endif()

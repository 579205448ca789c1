# The FLTK front end's desktop services (colour chooser, busy cursor, key callbacks, window
# stacking, clipboard, printing, pixel areas, help) in real windows, each check on its own Xvfb display, without and
# under a window manager.
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
    foreach(_mode colour cursor hotkey stacking clipboard print pixels help)
      kv_window_test(xvfb_desk_${_mode} 60 $<TARGET_FILE:desk_window_check> ${_mode} $<TARGET_FILE:clipboard_read>)
    endforeach()
  endif()
endif()

# The program itself: the Program class that wires model, pages, window and ports,
# and the brevane executable.
target_sources(brevane_platform PRIVATE program.cpp)

qt_add_executable(brevane WIN32 main.cpp)
target_link_libraries(brevane PRIVATE brevane_platform)
brevane_target_settings(brevane)
if(WIN32)
  # Icon and version information of the executable; the version is the project's.
  set(BREVANE_ICON_FILE ${CMAKE_CURRENT_SOURCE_DIR}/icons/brevane.ico)
  configure_file(icons/brevane.rc.in ${CMAKE_CURRENT_BINARY_DIR}/brevane.rc @ONLY)
  target_sources(brevane PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/brevane.rc)
endif()
install(TARGETS brevane RUNTIME DESTINATION bin)

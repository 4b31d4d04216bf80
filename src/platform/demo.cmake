# The offline demo: the program against stand-in sites that it serves itself on
# loopback from the bundled sample pages, so it needs no network and no files.
qt_add_executable(brevane-demo WIN32 demo_main.cpp)
target_link_libraries(brevane-demo PRIVATE brevane_platform brevane_standin)
brevane_target_settings(brevane-demo)

# The hidden WebEngine pages, loaded from servers on 127.0.0.1. One test program with
# its own main (a QApplication and one shared set of pages), registered as a single
# test so the browser engine starts once.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets WebEngineCore)
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(TEST_HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
add_executable(web_pages_test web_pages_test.cpp local_http_server.h)
target_link_libraries(web_pages_test PRIVATE brevane_platform GTest::gtest
                      PkgConfig::TEST_HTTPLIB Threads::Threads)
set_target_properties(web_pages_test PROPERTIES AUTOMOC ON)
brevane_target_settings(web_pages_test)
add_test(NAME web_pages_test COMMAND web_pages_test)
set_tests_properties(web_pages_test PROPERTIES
  TIMEOUT 300
  LABELS webengine
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;${BREVANE_WEBENGINE_ASAN_OPTIONS}")

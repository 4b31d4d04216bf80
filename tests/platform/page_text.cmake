# The body-text rule on its own: no Qt, no display, so it is built with the core too.
add_brevane_test(page_text_test ${CMAKE_CURRENT_LIST_DIR}/page_text_test.cpp LIBS brevane_page_text)

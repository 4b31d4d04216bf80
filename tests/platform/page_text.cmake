# The body-text rule on its own: no Qt, no display.
add_brevane_test(page_text_test page_text_test.cpp LIBS brevane_page_text)

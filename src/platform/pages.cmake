# The hidden browser pages behind the page port.
target_sources(brevane_platform PRIVATE
  hidden_page.cpp
  web_request_filter.cpp
  web_pages.cpp
)

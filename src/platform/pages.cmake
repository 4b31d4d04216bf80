# The hidden browser pages behind the page port, the engine's start-up switches and
# the log categories.
target_sources(brevane_platform PRIVATE
  hidden_page.cpp
  web_request_filter.cpp
  web_pages.cpp
  engine_setup.cpp
  logging.cpp
)

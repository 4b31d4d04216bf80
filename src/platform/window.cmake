# The main window, its label widget, the Qt ports and the icon.
target_sources(brevane_platform PRIVATE
  oil_price_window.cpp
  twip_label.cpp
  control_accessibility.cpp
  qt_ports.cpp
)
# The icon's images come from icons/make_icon.py; the .ico is the window icon and,
# on Windows, the executable's icon.
qt_add_resources(brevane_platform "brevane_icons"
  PREFIX "/icons"
  BASE icons
  FILES icons/brevane.ico
)

# The whole program in one process: the real window, real WebEngine pages and the
# stand-in sites on loopback.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets WebEngineCore)

# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Compiler settings and the library-per-folder rule shared by every target of our own.

option(BREVANE_WARNINGS_AS_ERRORS "Treat compiler warnings as errors (the CI presets turn it on)" OFF)

# Warnings beyond -Wall -Wextra, each for a kind of fault: a name that hides another, a
# base class deleted through a plain destructor, an override that hides an overload, a
# cast that drops const, a format string that is not a literal, an undefined macro in
# #if, a function with external linkage that no header declares (one its own file alone
# should use), and with GCC conditions or branches written twice and logical operators
# on the same operand.
set(BREVANE_WARNINGS -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual -Wformat=2
                     -Wundef -Wmissing-declarations)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND BREVANE_WARNINGS -Wduplicated-cond -Wduplicated-branches -Wlogical-op)
endif()

function(brevane_target_settings target)
  # Designated initializers may leave members to their defaults.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers
                                           ${BREVANE_WARNINGS})
  if(BREVANE_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# brevane_add_layer(<folder> [SOURCES src...] [DEPENDS lib...] [PRIVATE_DEPENDS lib...])
#
# The folder of the calling CMakeLists.txt becomes the static library brevane_<folder>.
# Its headers are included as "<folder>/name.h". Its include path holds nothing but a
# link named <folder> to the folder itself, and a library sees the include paths of what
# it links and no others: a file that includes from a layer it does not build on fails
# to compile, so the layering is kept by the build, not by convention.
function(brevane_add_layer folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  set(target brevane_${folder})
  add_library(${target} STATIC ${ARG_SOURCES})
  set(root ${PROJECT_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
  brevane_target_settings(${target})
endfunction()

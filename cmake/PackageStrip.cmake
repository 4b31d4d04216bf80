# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on the staged files, after they were stripped of their symbols: also
# drops the compiler's .comment and the .note section from the programs, as Debian's
# own packaging tools do.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*"
                           "${CPACK_TEMPORARY_DIRECTORY}/*/libexec/brevane/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_BREVANE_OBJCOPY}" --remove-section=.comment --remove-section=.note
                          "${program}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Which clang the project uses, decided in this one place and sourced by the scripts that
# need it: the release's own, through its unversioned packages and commands, or else the
# newest version the archive has or the machine has installed.

# The packages of clang, clang-tidy and clang's runtime libraries to install (one per line),
# or nothing when the archive has no complete set.
clang_packages() {
    local available
    available() {
        [[ -n $(apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: //p' | grep -v '(none)') ]]
    }
    if available clang && available clang-tidy && available libclang-rt-dev; then
        printf '%s\n' clang clang-tidy libclang-rt-dev
        return
    fi
    local version
    for version in $(apt-cache pkgnames clang- | sed -n 's/^clang-\([0-9][0-9]*\)$/\1/p' | sort -rn); do
        if available "clang-$version" && available "clang-tidy-$version" &&
            available "libclang-rt-$version-dev"; then
            printf '%s\n' "clang-$version" "clang-tidy-$version" "libclang-rt-$version-dev"
            return
        fi
    done
}

# The command to run for a clang tool (clang++, clang-tidy, run-clang-tidy): its unversioned
# name, or else the newest versioned one installed; nothing when there is none.
clang_command() {
    if command -v "$1" >/dev/null; then
        echo "$1"
    else
        compgen -c "$1-" | grep -E "^$1-[0-9]+$" | sort -rV | head -n 1
    fi
}

#!/usr/bin/env bash
# Installs the build under a fresh prefix, as `cmake --install --prefix ~/.local` would, and
# checks that program as an installed one (installed_program.sh): its worksheets go to the
# per-user folder, nothing beside it. Usage: installed_under_prefix.sh BUILD OUTPUT_FOLDER
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
bash "$(dirname "$(readlink -f "$0")")/installed_program.sh" "$2" "$prefix/bin/SBK3"

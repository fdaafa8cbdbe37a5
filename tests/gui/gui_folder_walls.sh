#!/usr/bin/env bash
# The folders of the window's code include each other one way only: a folder never includes,
# directly or through others, a folder that includes it back. Shared pieces live in gui/kit.
# Usage: gui_folder_walls.sh SRC_GUI_DIR
set -euo pipefail
root=${1:?usage: gui_folder_walls.sh SRC_GUI_DIR}

declare -A uses   # folder -> folders it includes (space separated)
folders=()
for dir in "$root"/*/; do
    folder=$(basename "$dir")
    folders+=("$folder")
    uses[$folder]=$(grep -rhoE '^#include "gui/[A-Za-z0-9_]+/' "$dir" 2>/dev/null |
        sed -E 's#^\#include "gui/##; s#/$##' | sort -u | grep -vx "$folder" | tr '\n' ' ' || true)
done

failed=0
for start in "${folders[@]}"; do
    # Every folder reachable from start, walked with a work list; start must not be among them.
    declare -A seen=()
    declare -A via=()
    todo=(${uses[$start]:-})
    for next in "${todo[@]}"; do via[$next]=$start; done
    while ((${#todo[@]})); do
        folder=${todo[0]}
        todo=("${todo[@]:1}")
        [[ -n ${seen[$folder]:-} ]] && continue
        seen[$folder]=1
        for next in ${uses[$folder]:-}; do
            [[ -z ${via[$next]:-} ]] && via[$next]=$folder
            todo+=("$next")
        done
    done
    if [[ -n ${seen[$start]:-} ]]; then
        echo "gui/$start includes a folder that includes it back (gui/${via[$start]} -> gui/$start)" >&2
        failed=1
    fi
    unset seen via
done
exit $failed

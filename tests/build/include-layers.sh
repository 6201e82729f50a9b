#!/usr/bin/env bash
# The engine's folders are layers, and a folder includes only its own and the layers below it:
#     math (0) < core (1) < collision, shapes, input (2) < physics (3) < app (4)
# examples/, tests/ and bench/ may include anything. Two more rules keep the includes free of
# cycles: no header includes itself through other headers, and in the folders listed in
# `chained` no .h/.cpp pair depends on itself through the other pairs of its folder (core/ and
# collision/ are left out: an object and its components, a collider and the broad phase, are
# meant to know each other).
#
# Usage: tests/build/include-layers.sh [project root]. Prints each offending include with its
# file and line, and fails if there is one.
set -uo pipefail
cd "${1:-$(dirname "$0")/../..}" || exit 2

declare -A layer=([math]=0 [core]=1 [collision]=2 [shapes]=2 [input]=2 [physics]=3 [app]=4)
chained=(math shapes input physics app)
folders=(math core collision shapes input physics app)

failed=0
header_pairs=()
unit_pairs=()
declare -A where  # "from to" -> the include lines that make the edge

include='^([^:]+):([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*["<](([a-z]+)/[^">]+)\.h[">]'
while IFS= read -r found; do
    [[ $found =~ $include ]] || continue
    file=${BASH_REMATCH[1]} line=${BASH_REMATCH[2]} target=${BASH_REMATCH[3]}
    to_folder=${BASH_REMATCH[4]}
    from_folder=${file%%/*}
    [[ -n ${layer[$to_folder]:-} ]] || continue
    text=${found#*:*:}
    if ((layer[$to_folder] > layer[$from_folder])); then
        echo "$file:$line: $from_folder/ (layer ${layer[$from_folder]}) includes $to_folder/" \
            "(layer ${layer[$to_folder]}), a layer above it: $text"
        failed=1
    fi
    unit=${file%.*}
    [[ $unit == "$target" ]] && continue
    where["$unit $target"]+="    $file:$line: $text"$'\n'
    if [[ $file == *.h ]]; then
        header_pairs+=("$unit $target")
    fi
    if [[ $from_folder == "$to_folder" && " ${chained[*]} " == *" $from_folder "* ]]; then
        unit_pairs+=("$unit $target")
    fi
done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include' \
    "${folders[@]}")

# tsort names the members of each loop it meets; the includes between them make the cycle.
report_cycles() {
    local what=$1
    shift
    local loops member from to
    loops=$(printf '%s\n' "$@" | tsort 2>&1 >/dev/null) && return 0
    failed=1
    local -a members=()
    local -A shown=()
    while IFS= read -r member; do
        if [[ $member == *"input contains a loop"* ]]; then
            members=()
            shown=()
            echo "$what form a cycle:"
            continue
        fi
        members+=("${member#tsort: }")
        # Print the includes among the loop's members once the loop has been read.
        for from in "${members[@]}"; do
            for to in "${members[@]}"; do
                if [[ -n ${where["$from $to"]:-} && -z ${shown["$from $to"]:-} ]]; then
                    printf '%s' "${where["$from $to"]}"
                    shown["$from $to"]=1
                fi
            done
        done
    done <<<"$loops"
}
report_cycles "Headers that include each other" "${header_pairs[@]}"
report_cycles "Files of one folder that include each other" "${unit_pairs[@]}"

if ((failed)); then
    exit 1
fi
echo "Includes follow the layers math < core < collision, shapes, input < physics < app," \
    "without cycles"

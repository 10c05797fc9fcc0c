#!/usr/bin/env bash
# Runs quorvane-import over every model file of a folder (default: Debian's assimp-testmodels),
# each with a time limit, and checks every scene it writes with quorvane-check. Prints one line a
# file, then how many imported, how many were refused and why, how many ended the confined model
# reader by crashing it, stopping it in its sandbox or running out of its time (the importer
# refuses those files cleanly), how many crashed or hung the importer itself, and the slowest
# files. The importer's own crashes and hangs, and a written scene the checker refuses, make the
# exit status 1. Not part of CI: the whole package takes a minute or two.
# Usage: tools/scripts/import-all.sh [build directory, default build] [models folder] [seconds a model]
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
models="${2:-/usr/share/assimp/models}"
limit="${3:-60}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# Pictures, buffers, shaders and notes travel with the models but are not models themselves.
not_a_model='\.(png|jpe?g|bmp|tga|dds|gif|txt|md|bin|mtl|glsl|vert|frag|material)$|/(README|LICENSE)$'
imported=0 refused=0 reader_crashed=0 reader_stopped=0 reader_late=0 crashed=0 hung=0 unchecked=0
: >"$scratch/reasons"
: >"$scratch/times"
while IFS= read -r -d '' model; do
    grep -qiE "$not_a_model" <<<"$model" && continue
    out="$scratch/scene"
    rm -rf "$out"
    name="${model#"$models"/}"
    # The importer's own limit first; this one only catches the importer itself hanging.
    start=$(date +%s%N)
    timeout -s KILL $((limit + 30)) "$build/quorvane-import" "$model" "$out" --time-limit "$limit" \
        >"$scratch/log" 2>&1
    status=$?
    echo "$((($(date +%s%N) - start) / 1000000)) $name" >>"$scratch/times"
    case $status in
    0)
        if (cd "$out" && "$build/quorvane-check" >/dev/null 2>&1); then
            imported=$((imported + 1)) && echo "imported  $name"
        else
            unchecked=$((unchecked + 1)) && echo "UNCHECKED $name: the checker refuses the scene"
        fi
        ;;
    1)
        # Without the refusal line status 1 is something else, such as a sanitizer's report.
        if ! reason="$(grep -m1 '^quorvane-import: ' "$scratch/log")"; then
            crashed=$((crashed + 1)) && echo "CRASHED   $name (status 1, no refusal)"
            tail -3 "$scratch/log"
            continue
        fi
        reason="${reason#"quorvane-import: $model: "}"  # the reason may hold ": " itself
        case "$reason" in
        "the model reader was stopped by its sandbox"*) reader_stopped=$((reader_stopped + 1)) ;;
        "the model reader did not finish"*) reader_late=$((reader_late + 1)) ;;
        "the model reader crashed"* | "the model reader was killed"* | "the model reader ended"* | \
            "the model reader sent"*) reader_crashed=$((reader_crashed + 1)) ;;
        *) refused=$((refused + 1)) ;;
        esac
        echo "refused   $name: $reason"
        # Reasons that name a position or a file vary by model; their first words group them.
        cut -c1-60 <<<"$reason" >>"$scratch/reasons"
        ;;
    137) hung=$((hung + 1)) && echo "HUNG      $name (over $((limit + 30))s)" ;;
    *) crashed=$((crashed + 1)) && echo "CRASHED   $name (status $status)" && tail -3 "$scratch/log" ;;
    esac
done < <(find "$models" -type f -print0 | sort -z)

echo
echo "$((imported + refused + reader_crashed + reader_stopped + reader_late + crashed + hung + \
    unchecked)) model files: $imported imported, $refused refused;" \
    "the confined reader crashed on $reader_crashed, was stopped by its sandbox on" \
    "$reader_stopped, ran out of time on $reader_late; the importer itself crashed on $crashed," \
    "hung on $hung; $unchecked written but refused by the checker"
echo "refusals by reason:"
sort "$scratch/reasons" | uniq -c | sort -rn
echo "slowest (milliseconds, the check not counted):"
sort -rn "$scratch/times" | head -5
[ $((crashed + hung + unchecked)) -eq 0 ]

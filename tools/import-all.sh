#!/usr/bin/env bash
# Runs quorvane-import over every model file of a folder (default: Debian's assimp-testmodels),
# each with a time limit, and checks every scene it writes with quorvane-check. Prints one line a
# file, then how many imported, how many were refused and why, and how many crashed or hung
# (those two, and a written scene the checker refuses, make the exit status 1). Not part of CI:
# the whole package takes minutes.
# Usage: tools/import-all.sh [build directory, default build] [models folder] [seconds a model]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
models="${2:-/usr/share/assimp/models}"
limit="${3:-60}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# Pictures, buffers, shaders and notes travel with the models but are not models themselves.
not_a_model='\.(png|jpe?g|bmp|tga|dds|gif|txt|md|bin|mtl|glsl|vert|frag|material)$|/(README|LICENSE)$'
imported=0 refused=0 crashed=0 hung=0 unchecked=0
: >"$scratch/reasons"
while IFS= read -r -d '' model; do
    grep -qiE "$not_a_model" <<<"$model" && continue
    out="$scratch/scene"
    rm -rf "$out"
    timeout -s KILL "$limit" "$build/quorvane-import" "$model" "$out" >"$scratch/log" 2>&1
    status=$?
    name="${model#"$models"/}"
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
        refused=$((refused + 1))
        reason="$(sed "s|^quorvane-import: .*: ||" <<<"$reason")"
        echo "refused   $name: $reason"
        # Reasons that name a position or a file vary by model; their first words group them.
        cut -c1-60 <<<"$reason" >>"$scratch/reasons"
        ;;
    137) hung=$((hung + 1)) && echo "HUNG      $name (over ${limit}s)" ;;
    *) crashed=$((crashed + 1)) && echo "CRASHED   $name (status $status)" && tail -3 "$scratch/log" ;;
    esac
done < <(find "$models" -type f -print0 | sort -z)

echo
echo "$((imported + refused + crashed + hung + unchecked)) model files: $imported imported," \
    "$refused refused, $crashed crashed, $hung hung, $unchecked written but refused by the checker"
echo "refusals by reason:"
sort "$scratch/reasons" | uniq -c | sort -rn
[ $((crashed + hung + unchecked)) -eq 0 ]

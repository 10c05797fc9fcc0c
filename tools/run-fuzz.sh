#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: tools/run-fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default 60 s, all targets)
# Findings are written to fuzz-out/; the corpora grow in fuzz-out/corpus/NAME, seeded from
# fuzz/corpus/NAME (the regression inputs, checked in) and the demo scene.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
"$root/tools/deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVANE_FUZZ=ON -DQUORVANE_BENCH=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in "$root"/fuzz/*.cpp; do targets+=("$(basename "$source" .cpp | tr _ -)"); done
fi
cmake --build "$root/build-fuzz" -j"$(nproc)" --target "${targets[@]/#/fuzz-}"

status=0
for target in "${targets[@]}"; do
    seeds="$root/fuzz/corpus/${target//-/_}"
    corpus="$root/fuzz-out/corpus/$target"
    mkdir -p "$corpus" "$root/fuzz-out/findings"
    [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
    case "$target" in
        object-file) find "$root/data" -name '*.obj' -size -64k -exec cp -n {} "$corpus"/ \; ;;
        camera-file) find "$root/data" -name '*.cam' -exec cp -n {} "$corpus"/ \; ;;
        scene-file) find "$root/data" -name '*.scn' -exec cp -n {} "$corpus"/ \; ;;
        tga-file) find "$root/data" -name '*.tga' -size -64k -exec cp -n {} "$corpus"/ \; ;;
    esac
    echo "fuzz-$target: ${seconds}s"
    if ! (cd "$root/fuzz-out" && "$root/build-fuzz/fuzz/fuzz-$target" -max_total_time="$seconds" \
            -max_len=65536 -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
            -artifact_prefix="$root/fuzz-out/findings/$target-" "$corpus" "$seeds" \
            2>"$root/fuzz-out/$target.log"); then
        echo "fuzz-$target FOUND A PROBLEM: see fuzz-out/$target.log and fuzz-out/findings/"
        tail -30 "$root/fuzz-out/$target.log"
        status=1
    fi
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$root/fuzz-out/$target.log" || true
done
exit $status

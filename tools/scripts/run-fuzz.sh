#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: tools/scripts/run-fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default 60 s, all targets)
# Findings are written to fuzz-out/; the corpora grow in fuzz-out/corpus/NAME, seeded from
# fuzz/corpus/NAME (the regression inputs, checked in), the demo scene, and for the importer's
# targets the small model files of assimp-testmodels and what the importer's reader makes of them.
#
# fuzz-import-model runs assimp, which is not ours and crashes on broken files (the importer
# confines it for that reason): that target goes on past its findings (libFuzzer's fork mode),
# and each finding is then run again and blamed on the first frame of its report that is not the
# sanitizers', libFuzzer's or the C and C++ runtimes'. Findings in assimp (and the libraries it
# calls) are listed, and fail the run only when the blamed frame is in our code.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
seconds="${1:-60}"
shift || true
"$root/tools/scripts/deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVANE_FUZZ=ON -DQUORVANE_BENCH=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in "$root"/fuzz/*.cpp; do targets+=("$(basename "$source" .cpp | tr _ -)"); done
fi
cmake --build "$root/build-fuzz" -j"$(nproc)" --target "${targets[@]/#/fuzz-}"

models=/usr/share/assimp/models
fuzz_out="$root/fuzz-out"

# The frame a finding's report blames: the first frame of its stacks that is assimp's (the
# libraries it calls and its headers included) or in our sources (stb's header compiled into
# them counted ours); the sanitizers', libFuzzer's and the C and C++ runtimes' frames are passed
# over.
ours="$root/(app|fuzz|model|platform|render|scene|tools)/|/usr/include/stb/"
blamed_frame() {
    grep -E '^ +#[0-9]+ ' "$1" |
        grep -E "libassimp|libz\.so|libdraco|libminizip|/usr/include/assimp/|$ours" | head -1
}

# Runs each of this run's findings of `target` again and says whose it is; 1 when one is ours
# (or no frame says whose). A unit that was only slow, or a time-out that does not come again
# (the machine was busy), is listed and fails nothing.
blame_findings() {
    local target="$1" before="$2" failed=0 finding log frame
    while IFS= read -r finding; do
        grep -qxF "$finding" "$before" && continue
        log="$finding.log"
        if [[ "$finding" == *-slow-unit-* ]]; then
            echo "  slow:      $(basename "$finding")"
            continue
        fi
        if (cd "$fuzz_out" && "$root/build-fuzz/fuzz/fuzz-$target" -timeout=10 \
                -rss_limit_mb=2048 "$finding" >"$log" 2>&1); then
            echo "  did not recur: $(basename "$finding")"
            continue
        fi
        frame="$(blamed_frame "$log")"
        # Memory that grows by many allocations passes libFuzzer's limit with no stack of its
        # own; AddressSanitizer's softer limit fails the next allocation instead, and shows it.
        if [ -z "$frame" ] && [[ "$finding" == *-oom-* ]]; then
            (cd "$fuzz_out" && ASAN_OPTIONS=soft_rss_limit_mb=1024 \
                "$root/build-fuzz/fuzz/fuzz-$target" -rss_limit_mb=0 -malloc_limit_mb=0 \
                "$finding" >>"$log" 2>&1) || true
            frame="$(blamed_frame "$log")"
        fi
        if [ -n "$frame" ] && ! grep -qE "$ours" <<<"$frame"; then
            echo "  in assimp: $(basename "$finding"):$frame"
        else
            echo "  OURS:      $(basename "$finding"):${frame:- no frame says whose, see $log}"
            failed=1
        fi
    done < <(find "$fuzz_out/findings" -maxdepth 1 -name "$target-*" ! -name '*.log' | sort)
    return $failed
}

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
        import-model) find "$models" -type f -size -64k -exec cp -n {} "$corpus"/ \; ;;
        import-wire)  # what the reader answers on each small model, one process a model
            cmake --build "$root/build-fuzz" --target fuzz-import-model >/dev/null
            find "$models" -type f -size -16k -print0 |
                QUORVANE_WIRE_SEEDS="$corpus" LSAN_OPTIONS="suppressions=$root/fuzz/assimp_leaks.supp" \
                    xargs -0 -n 1 "$root/build-fuzz/fuzz/fuzz-import-model" >/dev/null 2>&1 || true
            ;;
    esac
    options=()
    if [ "$target" = import-model ]; then
        options=(-fork=1 -ignore_crashes=1 -ignore_ooms=1 -ignore_timeouts=1)
        export LSAN_OPTIONS="suppressions=$root/fuzz/assimp_leaks.supp"
        find "$fuzz_out/findings" -maxdepth 1 -name "$target-*" | sort >"$fuzz_out/$target.before"
    fi
    corpora=("$corpus")
    [ -d "$seeds" ] && corpora+=("$seeds")
    echo "fuzz-$target: ${seconds}s"
    fuzzed=0
    (cd "$root/fuzz-out" && "$root/build-fuzz/fuzz/fuzz-$target" -max_total_time="$seconds" \
        -max_len=65536 -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "${options[@]}" \
        -artifact_prefix="$root/fuzz-out/findings/$target-" "${corpora[@]}" \
        2>"$root/fuzz-out/$target.log") || fuzzed=$?
    # In fork mode libFuzzer ends with the status of its last job, which may be a crash or an
    # out-of-memory it was told to pass over (assimp's): there the findings' blame below decides,
    # and only a driver that did not finish its run is a problem of its own.
    if [ "$fuzzed" -ne 0 ] && [ "$target" = import-model ] &&
        grep -q '^INFO: exiting: ' "$root/fuzz-out/$target.log"; then
        fuzzed=0
    fi
    if [ "$fuzzed" -ne 0 ]; then
        echo "fuzz-$target FOUND A PROBLEM: see fuzz-out/$target.log and fuzz-out/findings/"
        tail -30 "$root/fuzz-out/$target.log"
        status=1
    fi
    if [ "$target" = import-model ]; then
        if ! blame_findings "$target" "$fuzz_out/$target.before"; then
            echo "fuzz-$target FOUND A PROBLEM IN OUR CODE: see fuzz-out/findings/*.log"
            status=1
        fi
        unset LSAN_OPTIONS
    fi
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$root/fuzz-out/$target.log" || true
done
exit $status

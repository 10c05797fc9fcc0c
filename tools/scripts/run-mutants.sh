#!/usr/bin/env bash
# Fault-injection check of the tests, not run by CI: every fault of tools/scripts/mutants.txt is put in
# turn into a scratch copy of the repository, which is rebuilt and tested. A fault is caught when
# a test fails or runs out of time, survives when every test passes, and is broken when it does
# not build or its original text is not in its file exactly once (a fault of the list, not of the
# tests). Each copy is configured once, at -O1 without link-time optimisation, and rebuilt
# incrementally; the copies work side by side, one per core; the unit-test binary stops at its
# first failure.
#
# Usage: tools/scripts/run-mutants.sh [--list] [--jobs N] [PATTERN]
#   PATTERN   only the faults whose file matches this regular expression (Python's re.search)
#   --list    checks the list against the working tree and counts the faults; builds nothing
#   --jobs N  copies at work side by side (default 2)
# The copies stay in ${TMPDIR:-/tmp}/quorvane-mutants, so that the next run rebuilds only what
# changed; remove that directory for a fresh start.
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
list="$root/tools/scripts/mutants.txt"
scratch="${TMPDIR:-/tmp}/quorvane-mutants"
jobs=2
only_list=0
pattern=""
while [ $# -gt 0 ]; do
    case "$1" in
        --list) only_list=1 ;;
        --jobs) jobs="${2:?--jobs wants a number}"; shift ;;
        -h | --help) sed -n '2,16s/^# \{0,1\}//p' "$0"; exit 0 ;;
        -*) echo "run-mutants: unknown option $1 (see --help)" >&2; exit 2 ;;
        *) pattern="$1" ;;
    esac
    shift
done
[[ "$jobs" =~ ^[1-9][0-9]*$ ]] || { echo "run-mutants: --jobs wants a positive number" >&2; exit 2; }
mkdir -p "$scratch"
helper="$root/tools/scripts/mutant.py"  # reads the list, checks it, applies one fault


mutant() { python3 "$helper" "$1" "$list" "${@:2}"; }

selected="$scratch/selected.tsv"
list_status=0
mutant select "$root" "$pattern" >"$selected" || list_status=$?
total="$(wc -l <"$selected")"
if [ "$only_list" -eq 1 ]; then
    echo "$total faults$([ -n "$pattern" ] && echo " in files matching '$pattern'"), by folder:"
    cut -f3 "$selected" | sed 's|/[^/]*$||; s|/.*||' | sort | uniq -c
    echo "$(awk -F'\t' '$4 != "-"' "$selected" | wc -l) of them also run end-to-end scripts"
    exit "$list_status"
fi
[ "$total" -gt 0 ] || { echo "run-mutants: no fault matches '$pattern'" >&2; exit 2; }
[ "$list_status" -eq 0 ] || echo "run-mutants: the list has problems (above); those faults count as broken"

start=$SECONDS
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
unit_targets=(quorvane_all_tests)  # both test programs, and the tools they run
e2e_targets=(quorvane quorvane_window_probe quorvane_send_close)

# The repository's files as the working tree has them; only files that differ are copied, so
# that their new time stamps tell the build what to compile again.
refresh_copy() {
    local copy="$1" file
    mkdir -p "$copy/src"
    while IFS= read -r -d '' file; do
        [ -f "$root/$file" ] || continue
        if ! cmp -s "$root/$file" "$copy/src/$file"; then
            mkdir -p "$(dirname "$copy/src/$file")"
            cp "$root/$file" "$copy/src/$file"
        fi
    done < <(cd "$root" && git ls-files -co --exclude-standard -z)
}

build() {  # COPY TARGET...
    timeout 1800 cmake --build "$1/build" -j1 --target "${@:2}"
}

# The unit and integration tests as ctest runs them (from the build directory, on the offscreen
# driver), then the cheap script tests; the first failure stops them. Prints what failed.
run_tests() {
    local copy="$1" log="$1/test.log" status=0 program
    for program in quorvane_tests quorvane_integration_tests; do
        (cd "$copy/build" && SDL_VIDEODRIVER=offscreen timeout -k 10 300 \
            "./tests/$program" --gtest_fail_fast --gtest_brief=1) >"$log" 2>&1 || status=$?
        if [ "$status" -ne 0 ]; then
            [ "$status" -eq 124 ] && { echo "$program timed out"; return 1; }
            echo "unit: $(grep -m1 -o '\[  FAILED  \] [^ ,]*' "$log" | cut -c14- || echo "status $status")"
            return 1
        fi
    done
    timeout -k 10 120 bash "$copy/src/tests/scene_guide.sh" "$copy/build" "$copy/src" \
        >"$log" 2>&1 || { echo "scene_guide"; return 1; }
}

# One e2e script at a time over all copies: they time real windows and keys. Status 77: skipped.
run_e2e() {  # COPY SCRIPT
    flock "$scratch/e2e.lock" timeout -k 10 600 \
        bash "$1/src/tests/e2e/$2.sh" "$1/build/quorvane" "$1/src" >"$1/e2e.log" 2>&1
}

prepare_copy() {
    local copy="$scratch/copy$1"
    refresh_copy "$copy"
    if [ ! -f "$copy/build/CMakeCache.txt" ]; then
        cmake -S "$copy/src" -B "$copy/build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug \
            -DCMAKE_CXX_FLAGS_DEBUG=-O1 -DCMAKE_INTERPROCEDURAL_OPTIMIZATION=OFF \
            -DQUORVANE_BENCH=OFF -DQUORVANE_WERROR=OFF >"$copy/configure.log" 2>&1 \
            || { echo "copy $1: configuration failed, see $copy/configure.log"; return 1; }
    fi
    build "$copy" "${unit_targets[@]}" "${e2e_targets[@]}" >"$copy/build.log" 2>&1 \
        || { echo "copy $1: the build failed without any fault, see $copy/build.log"; return 1; }
    local failed
    failed="$(run_tests "$copy")" \
        || { echo "copy $1: the tests fail without any fault ($failed), see $copy/test.log"; return 1; }
    echo "copy $1 built and passes its tests ($((SECONDS - start)) s)"
}

# Worker W takes every JOBS-th fault. Writes "id<TAB>status<TAB>detail" per fault.
work() {
    local w="$1" copy="$scratch/copy$1" id line file e2e status detail began script targets
    : >"$scratch/results$w"
    while IFS=$'\t' read -r id line file e2e; do
        [ $(((id - 1) % jobs)) -eq $((w - 1)) ] || continue
        began=$SECONDS
        cp "$copy/src/$file" "$copy/original"
        targets=("${unit_targets[@]}")
        [ "$e2e" = - ] || targets+=("${e2e_targets[@]}")
        if ! detail="$(mutant apply "$id" "$copy/src")"; then
            status=broken
        elif ! build "$copy" "${targets[@]}" >"$copy/build.log" 2>&1; then
            status=broken
            detail="does not build: $(grep -m1 'error' "$copy/build.log" | cut -c1-160)"
        elif ! detail="$(run_tests "$copy")"; then
            status=caught
        else
            status=survived
            detail=""
            [ "$e2e" = - ] && e2e=""
            for script in $e2e; do
                result=0
                run_e2e "$copy" "$script" || result=$?
                case "$result" in 0 | 77) continue ;; esac  # 77: the script skipped
                status=caught
                detail="e2e: $script"
                break
            done
        fi
        # A fresh time stamp on the original: the next build compiles it again.
        cp "$copy/original" "$copy/src/$file"
        printf '%s\t%s\t%s\n' "$id" "$status" "$detail" >>"$scratch/results$w"
        printf '[%3d/%d] %-8s #%s %s (mutants.txt:%s) %ss %s\n' \
            "$(cat "$scratch"/results* | wc -l)" "$total" "$status" "$id" "$file" "$line" \
            $((SECONDS - began)) "$detail"
    done <"$selected"
    build "$copy" "${unit_targets[@]}" "${e2e_targets[@]}" >"$copy/build.log" 2>&1 || true
}

trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
echo "run-mutants: $total faults, $jobs copies in $scratch"
pids=()
for w in $(seq "$jobs"); do
    prepare_copy "$w" &
    pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid" || exit 1; done
# The end-to-end scripts that the faults name must pass without a fault.
for script in $(cut -f4 "$selected" | tr ' ' '\n' | grep -v '^-$' | sort -u); do
    result=0
    run_e2e "$scratch/copy1" "$script" || result=$?
    case "$result" in
        0) echo "$script passes without any fault ($((SECONDS - start)) s)" ;;
        77) echo "$script skips here: the faults naming it are judged by the unit tests alone" ;;
        *) echo "run-mutants: $script fails without any fault, see $scratch/copy1/e2e.log"; exit 1 ;;
    esac
done
pids=()
for w in $(seq "$jobs"); do
    work "$w" &
    pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid"; done
trap - EXIT

results="$(sort -n "$scratch"/results*)"
count() { awk -F'\t' -v s="$1" '$2 == s' <<<"$results" | wc -l; }
caught="$(count caught)"
broken="$(count broken)"
echo
echo "caught $caught of $((total - broken))"
if [ "$broken" -gt 0 ]; then
    echo "broken (faults of the list: fix them):"
    awk -F'\t' '$2 == "broken" {print $1 "\t" $3}' <<<"$results" | while IFS=$'\t' read -r id why; do
        mutant show "$id" | sed 's/^/  /'
        echo "    $why"
    done
fi
if [ "$(count survived)" -gt 0 ]; then
    echo "survived (the tests miss these faults):"
    awk -F'\t' '$2 == "survived" {print $1}' <<<"$results" | while read -r id; do
        mutant show "$id" | sed 's/^/  /'
    done
fi
echo "elapsed: $(((SECONDS - start) / 60)) min $(((SECONDS - start) % 60)) s"
[ "$caught" -eq "$total" ]

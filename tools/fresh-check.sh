#!/usr/bin/env bash
# Proves that the README's two commands set up, build and test everything on a fresh Debian 12 by
# themselves. debootstrap makes a minimal root in a scratch directory, the repository goes in as
# the working tree has it (tracked files and uncommitted changes, no build folders), and the two
# commands run there as root, each timed. Not run by CI: it downloads several hundred megabytes
# and took 14 to 18 minutes on two cores (fuzzing 60 s per target).
#
# Command 1 starts the viewer, which needs a display. The harness installs nothing for it: it
# waits until command 1's own installation has put xvfb and xdotool in the root, then starts a
# private Xvfb on the display that command 1 was given, waits for the viewer's window, holds
# Escape until the viewer ends, and expects status 0 and data/report.log.
#
# Everything runs in its own mount and PID namespace: the root's /proc, /sys and /dev are
# mounted there only, and whatever the commands leave running ends with it.
#
# Usage: tools/fresh-check.sh [SCRATCH_DIR]   (as root; default: a new directory in /var/tmp)
# Environment: QUORVANE_FUZZ_SECONDS goes to command 2 (its default is 60 s per fuzz target);
# KEEP_ROOT=1 keeps the root; the logs stay in the scratch directory either way.
set -euo pipefail

suite=bookworm
repo="$(cd "$(dirname "$0")/.." && pwd)"
inroot=/root/quorvane  # where the repository lies inside the root

seconds_since() { echo $(($(date +%s) - $1)); }
minutes() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }
say() { echo "fresh-check: $*"; }

# The Debian mirror this machine's apt uses for SUITE, from one-line and deb822 sources.
apt_uri_for() {
    local wanted="$1"
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        awk -v s="$wanted" '$1 == "deb" { for (i = 2; i < NF; i++) if ($(i + 1) == s && $i !~ /^\[/) { print $i; exit } }'
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk -v s="$wanted" '
        /^[[:space:]]*$/ { if (ok && uri != "") { print uri; exit } ok = 0; uri = "" }
        /^URIs:/ { uri = $2 }
        /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == s) ok = 1 }
        END { if (ok && uri != "") print uri }'
}

# --- Inside the namespaces ---------------------------------------------------------------------

root=""
unmount_root() {
    [ -n "$root" ] || return 0
    umount -R "$root/dev" 2>/dev/null || true
    umount "$root/sys" 2>/dev/null || true
    umount "$root/proc" 2>/dev/null || true
}

in_root() {  # runs a shell command line in the root as a fresh root login would
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

installed_packages() { in_root dpkg-query -W -f='${Package}\n' | sort; }

result() {  # NAME STATUS SECONDS NOTE: one line for the summary, printed as it comes
    printf '%s|%s|%s|%s\n' "$1" "$2" "$3" "$4" >>"$scratch/results"
    say "$1: $([ "$2" = 0 ] && echo passed || echo "FAILED (status $2)") in $(minutes "$3")${4:+; $4}"
}

# A display number that neither this machine nor the root has a server or lock for.
free_display() {
    local n
    for n in $(seq 40 99); do
        grep -q "/tmp/.X11-unix/X$n\$" /proc/net/unix && continue
        [ -e "/tmp/.X$n-lock" ] || [ -e "$root/tmp/.X$n-lock" ] && continue
        echo "$n"
        return 0
    done
    return 1
}

run_command_1() {
    local display start pid status=0 xvfb="" window="" note deadline
    display="$(free_display)" || { result "command 1" 1 0 "no free X display number"; return; }
    start="$(date +%s)"
    say "command 1: tools/run-viewer.sh, display :$display (log: $scratch/command1.log)"
    in_root DISPLAY=":$display" bash -c "cd $inroot && tools/run-viewer.sh" \
        >"$scratch/command1.log" 2>&1 &
    pid=$!
    stop_command_1() {
        kill "$pid" 2>/dev/null || true
        [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    }
    trap 'stop_command_1; unmount_root' EXIT
    # Installing and building take minutes; the display is needed only when the viewer starts.
    deadline=$((start + 3600))
    while [ -z "$window" ] && kill -0 "$pid" 2>/dev/null && [ "$(date +%s)" -lt "$deadline" ]; do
        sleep 2
        if [ -z "$xvfb" ] && in_root dpkg-query -W -f='${Status}\n' xvfb xdotool 2>/dev/null |
            grep -c '^install ok installed$' | grep -qx 2; then
            in_root Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
            xvfb=$!
        fi
        [ -n "$xvfb" ] && window="$(in_root DISPLAY=":$display" xdotool search --onlyvisible \
            --name '^Quorvane$' 2>/dev/null | head -n 1 || true)"
    done
    if [ -z "$window" ]; then
        stop_command_1
        wait "$pid" || status=$?
        note="no viewer window appeared$([ -z "$xvfb" ] && echo ' (xvfb and xdotool never got installed)')"
        result "command 1" "$((status == 0 ? 1 : status))" "$(seconds_since "$start")" "$note"
        return
    fi
    note="window after $(minutes "$(seconds_since "$start")")"
    sleep 3  # a few frames drawn
    # Held until the end: a press and release between two frames would never be seen.
    in_root DISPLAY=":$display" xdotool keydown Escape
    for _ in $(seq 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    in_root DISPLAY=":$display" xdotool keyup Escape 2>/dev/null || true
    if kill -0 "$pid" 2>/dev/null; then
        stop_command_1
        note="$note; still running 30 s after Escape"
        status=1
    fi
    wait "$pid" || status=$?
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    trap unmount_root EXIT
    if [ ! -s "$root$inroot/data/report.log" ]; then
        note="$note; no data/report.log"
        [ "$status" -ne 0 ] || status=1
    else
        note="$note; report: $(head -n 1 "$root$inroot/data/report.log")"
    fi
    result "command 1" "$status" "$(seconds_since "$start")" "$note"
}

run_command_2() {
    local start status=0 skipped note
    start="$(date +%s)"
    say "command 2: tools/run-tests.sh (log: $scratch/command2.log)"
    in_root ${QUORVANE_FUZZ_SECONDS:+QUORVANE_FUZZ_SECONDS="$QUORVANE_FUZZ_SECONDS"} \
        bash -c "cd $inroot && tools/run-tests.sh" >"$scratch/command2.log" 2>&1 || status=$?
    # Before its first ctest, command 2 builds in command 1's build/: the core must not compile
    # again there.
    note="$(awk '/^Test project/ { tested = 1 }
        !tested && /Building CXX object CMakeFiles\/quorvane_core.dir/ { core++ }
        /tests passed|^Total Test time/ { sub(/ +$/, ""); ctest = ctest sep $0; sep = ", " }
        /^stat::number_of_executed_units/ { fuzzed++ } /FOUND A PROBLEM/ { found++ }
        END { printf "core files compiled again in build/: %d; ctest: %s; fuzzed %d targets, " \
              "%d found a problem", core, ctest, fuzzed, found }' "$scratch/command2.log")"
    # A skipped end-to-end test means something it needs was missing: not a pass here.
    skipped="$(grep -oE 'e2e\.[a-z_]+ \(Skipped\)' "$scratch/command2.log" | paste -sd ' ' || true)"
    if [ -n "$skipped" ]; then
        note="$note; skipped: $skipped"
        [ "$status" -ne 0 ] || status=1
    fi
    result "command 2" "$status" "$(seconds_since "$start")" "$note"
    [ "$status" -eq 0 ] || tail -n 60 "$scratch/command2.log"
}

inside() {
    scratch="$1"
    root="$scratch/root"
    local mirror="$2" security="$3" start
    trap unmount_root EXIT
    start="$(date +%s)"
    if ! debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$scratch/debootstrap.log" 2>&1; then
        tail -n 20 "$scratch/debootstrap.log"
        result "debootstrap" 1 "$(seconds_since "$start")" "$mirror"
        return 1
    fi
    {
        echo "deb $mirror $suite main"
        echo "deb $mirror $suite-updates main"
        [ -z "$security" ] || echo "deb $security $suite-security main"
    } >"$root/etc/apt/sources.list"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    mkdir -p "$root$inroot"
    tar -C "$root$inroot" -xf "$scratch/repository.tar"
    result "debootstrap" 0 "$(seconds_since "$start")" "minimal $suite from $mirror"

    mount -t proc proc "$root/proc"
    mount -t sysfs sys "$root/sys"
    mount --rbind /dev "$root/dev"
    installed_packages >"$scratch/packages.0"
    run_command_1
    installed_packages >"$scratch/packages.1"
    run_command_2
    installed_packages >"$scratch/packages.2"
}

if [ "${1:-}" = "--inside" ]; then
    shift
    inside "$@"
    exit
fi

# --- Outside: prepare, run the namespaces, summarise, clean up ---------------------------------

[ "$(id -u)" -eq 0 ] || { echo "fresh-check: run as root (debootstrap, chroot, mounts)" >&2; exit 2; }
if ! command -v debootstrap >/dev/null; then
    say "installing debootstrap for this check"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
fi
mirror="$(apt_uri_for "$suite" | head -n 1)"
security="$(apt_uri_for "$suite-security" | head -n 1)"
mirror="${mirror:-http://deb.debian.org/debian}"

scratch="${1:-}"
if [ -z "$scratch" ]; then
    scratch="$(mktemp -d /var/tmp/quorvane-fresh.XXXXXX)"
else
    mkdir -p "$scratch"
    [ -z "$(ls -A "$scratch")" ] || { echo "fresh-check: $scratch is not empty" >&2; exit 2; }
    scratch="$(cd "$scratch" && pwd)"
fi
: >"$scratch/results"

# What `git status` would show: tracked files as they are now and untracked ones not ignored.
git -C "$repo" ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [ -e "$repo/$file" ] && printf '%s\0' "$file"; done |
    tar -C "$repo" --null -T - -cf "$scratch/repository.tar"

say "scratch directory $scratch; logs there"
start="$(date +%s)"
status=0
unshare --mount --pid --fork --propagation private -- bash "$0" --inside "$scratch" "$mirror" \
    "$security" || status=$?

echo
echo "=== fresh-check summary ($(minutes "$(seconds_since "$start")") in all) ==="
while IFS='|' read -r name code seconds note; do
    printf '%-12s %-7s %8s  %s\n' "$name" "$([ "$code" = 0 ] && echo passed || echo FAILED)" \
        "$(minutes "$seconds")" "$note"
    [ "$code" = 0 ] || status=1
done <"$scratch/results"
[ "$(grep -c . "$scratch/results")" -eq 3 ] || status=1
for n in 1 2; do
    if [ -f "$scratch/packages.$n" ]; then
        echo "command $n installed $(comm -13 "$scratch/packages.$((n - 1))" "$scratch/packages.$n" |
            grep -c .) packages; it asked for: $(grep -m1 '^Installing:' "$scratch/command$n.log" |
            cut -d' ' -f2- || echo nothing)"
    fi
done
echo "the harness installed nothing in the root; fuzzing: ${QUORVANE_FUZZ_SECONDS:-60} s per target"
echo "result: $([ "$status" -eq 0 ] && echo PASSED || echo FAILED)"

echo "logs: $scratch"
# The mounts lived in the namespace only; a root that still shows one is left alone.
if grep -q " $scratch/" /proc/self/mounts; then
    echo "fresh-check: something is still mounted under $scratch; the root stays" >&2
elif [ "${KEEP_ROOT:-0}" != 1 ]; then
    rm -rf "$scratch/root" "$scratch/repository.tar"
fi
exit "$status"

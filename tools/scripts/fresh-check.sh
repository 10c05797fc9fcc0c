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
# With --package it proves the Debian package instead: tools/scripts/package.sh builds it here, and the
# fresh root gets nothing but it, by `apt-get install ./quorvane_*.deb` (no checkout, no build
# tools: the summary says which it looked for), and one model, the Collada duck of
# assimp-testmodels with its picture, and the STL, PLY and glTF models of the thumbnail factory's
# check. There, from folders outside any checkout, quorvane-check and quorvane-shot run on the
# installed demo, quorvane-import imports the duck and both tools run on its scene,
# quorvane-thumbnailer makes thumbnails of the STL and the glTF from their file:// URIs, every
# program answers --version, and `man quorvane-import` shows the page, after the harness installs
# man-db (minbase has no man). Last, the harness installs GNOME's thumbnail factory
# (gir1.2-gnomedesktop-3.0, python3-gi, bubblewrap) and runs its check (tests/package/factory.sh)
# on the installed package: the factory runs the thumbnailer in its bubblewrap sandbox there too.
# 1m24s to 3m14s in the last two runs, by the mirror's speed: debootstrap 33 s to 1m21s, the
# package's install 22 to 43 s, the factory's step 20 to 53 s (most of it its 101 packages).
#
# Everything runs in its own mount and PID namespace: the root's /proc, /sys and /dev are
# mounted there only, and whatever the commands leave running ends with it.
#
# Usage: tools/scripts/fresh-check.sh [--package] [SCRATCH_DIR]   (as root; default: a new directory in
#        /var/tmp)
# Environment: QUORVANE_FUZZ_SECONDS goes to command 2 (its default is 60 s per fuzz target);
# KEEP_ROOT=1 keeps the root; the logs stay in the scratch directory either way.
set -euo pipefail

suite=bookworm
# The models the installed thumbnailer draws from their file:// URIs.
stl=STL/sphereWithHole.stl
gltf=glTF2/BoxTextured-glTF-Binary/BoxTextured.glb
repo="$(cd "$(dirname "$0")/../.." && pwd)"
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
    say "command 1: tools/scripts/run-viewer.sh, display :$display (log: $scratch/command1.log)"
    in_root DISPLAY=":$display" bash -c "cd $inroot && tools/scripts/run-viewer.sh" \
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
    say "command 2: tools/scripts/run-tests.sh (log: $scratch/command2.log)"
    in_root ${QUORVANE_FUZZ_SECONDS:+QUORVANE_FUZZ_SECONDS="$QUORVANE_FUZZ_SECONDS"} \
        bash -c "cd $inroot && tools/scripts/run-tests.sh" >"$scratch/command2.log" 2>&1 || status=$?
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

# --- The package in the root (--package) ------------------------------------------------------

# The kernel refuses a new user namespace to a chrooted process, and bubblewrap makes one even as
# root. In a mount namespace of its own, the root bound onto itself and pivoted into is that
# namespace's root, not a chroot, and the factory's sandbox can be made there.
in_pivoted_root() {
    unshare --mount --fork -- bash -c 'mount --rbind "$1" "$1" && cd "$1" && pivot_root . mnt &&
        cd / && umount -l /mnt && shift && exec /usr/bin/env -i HOME=/root LANG=C.UTF-8 \
        TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"' \
        pivot "$root" "$@"
}

# Runs a shell command line in the root, its output in NAME.log; the step passes when it ends
# with 0 and its output has a line matching EXPECTED, which the summary quotes. With --pivoted
# first, the command runs in the pivoted root, for what makes namespaces of its own.
step() {
    local run=in_root
    if [ "$1" = --pivoted ]; then
        run=in_pivoted_root
        shift
    fi
    local name="$1" expected="$2" command="$3" start status=0 line
    start="$(date +%s)"
    "$run" bash -c "$command" >"$scratch/$name.log" 2>&1 || status=$?
    line="$(grep -m1 -E -- "$expected" "$scratch/$name.log" || true)"
    if [ "$status" -eq 0 ] && [ -z "$line" ]; then
        status=1
        line="no line matching '$expected'"
    fi
    result "$name" "$status" "$(seconds_since "$start")" "$line"
    [ "$status" -eq 0 ] || tail -n 20 "$scratch/$name.log"
}

# How many colours a picture of the root holds: one is an empty frame; a drawn scene has
# hundreds. With the differing pixels against a golden picture of the checkout, when given.
picture_note() {
    local picture="$root$1" golden="${2:-}" note
    [ -s "$picture" ] || { echo "no picture $1"; return; }
    note="$1: $(/usr/bin/convert "$picture" -format '%w x %h, %k colours' info:)"
    [ -z "$golden" ] || note="$note, $(/usr/bin/compare -metric AE -fuzz 1% "$picture" \
        "$repo/$golden" null: 2>&1) pixels off $golden by more than 1%"
    echo "$note"
}

shot_of() { sed -n 's/^quorvane-shot: wrote //p' "$scratch/$1.log"; }

# A thumbnail of the root, with its size; a larger side other than SIDE fails the check.
thumbnail_note() {
    local picture="$root$1" side="$2" size
    size="$(/usr/bin/convert "$picture" -format '%w %h' info: 2>/dev/null || true)"
    echo "thumbnail: $(picture_note "$1")" >>"$scratch/notes"
    [ -n "$size" ] && [ "$(tr ' ' '\n' <<<"$size" | sort -n | tail -n 1)" = "$side" ] ||
        result "thumbnail $1" 1 0 "its larger side is not $side: ${size:-no picture}"
}

run_package_checks() {
    local demo=/usr/share/quorvane/demo tools present
    mkdir -p "$root/root/fresh" "$root/root/elsewhere"
    cp -r "$scratch"/quorvane_*.deb "$scratch/duck.dae" "$scratch/duckCM.tga" "$scratch/models" \
        "$scratch/factory" "$root/root/fresh/"
    step install 'Setting up quorvane ' "cd /root/fresh && apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y ./quorvane_*.deb"
    installed_packages >"$scratch/packages.1"
    step check 'the viewer loads this scene$' "cd $demo && quorvane-check"
    step shot '^quorvane-shot: wrote ' "cd $demo && quorvane-shot"
    echo "shot: $(picture_note "$(shot_of shot)" tests/golden/demo.png)" >>"$scratch/notes"
    step import '^written to duck' "cd /root/elsewhere && quorvane-import /root/fresh/duck.dae duck"
    step import-check 'the viewer loads this scene$' "cd /root/elsewhere/duck && quorvane-check"
    step import-shot '^quorvane-shot: wrote ' "cd /root/elsewhere/duck && quorvane-shot"
    echo "import-shot: $(picture_note "$(shot_of import-shot)")" >>"$scratch/notes"
    step thumbnail '^thumbnails written' "cd /root/elsewhere &&
        quorvane-thumbnailer file:///root/fresh/models/$stl stl.png &&
        quorvane-thumbnailer -s 512 file:///root/fresh/models/$gltf gltf.png &&
        echo thumbnails written: stl.png gltf.png"
    thumbnail_note /root/elsewhere/stl.png 256
    thumbnail_note /root/elsewhere/gltf.png 512
    step version '^quorvane-view \(Quorvane\) ' "cd / && for p in quorvane-check \
        quorvane-shot quorvane-import quorvane-view quorvane-thumbnailer; do \$p --version ||
        exit 1; done"
    # The page's hyphens and dashes may come out as other characters than '-'.
    step man '^ +quorvane.{1,3}import .{1,3} turn a 3D model' "cd / &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq man-db >/dev/null &&
        MANWIDTH=80 man quorvane-import"
    installed_packages >"$scratch/packages.2"
    step --pivoted factory '^[0-9]+ thumbnails saved' "
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq gir1.2-gnomedesktop-3.0 python3-gi \
            bubblewrap >/dev/null && bash /root/fresh/factory/factory.sh /root/fresh/models"
    installed_packages >"$scratch/packages.3"
    # The root had no compiler, no CMake and no packaging tools, and got none with the package.
    tools=(gcc g++ clang cmake make pkg-config dpkg-dev libsdl2-dev libassimp-dev)
    present="$(grep -xF -f <(printf '%s\n' "${tools[@]}") "$scratch/packages.1" |
        paste -sd ' ' || true)"
    echo "build tools in the root after the install: ${present:-none} (of ${tools[*]})" \
        >>"$scratch/notes"
    grep -qx xfonts-base "$scratch/packages.1" &&
        echo "xfonts-base came with the package (recommended)" >>"$scratch/notes"
    [ -z "$present" ] || result "no build tools" 1 0 "installed: $present"
}

# --- Making the root ---------------------------------------------------------------------------

inside() {
    scratch="$1"
    root="$scratch/root"
    local mode="$2" mirror="$3" security="$4" start
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
    if [ "$mode" = readme ]; then
        mkdir -p "$root$inroot"
        tar -C "$root$inroot" -xf "$scratch/repository.tar"
    fi
    result "debootstrap" 0 "$(seconds_since "$start")" "minimal $suite from $mirror"

    mount -t proc proc "$root/proc"
    mount -t sysfs sys "$root/sys"
    mount --rbind /dev "$root/dev"
    installed_packages >"$scratch/packages.0"
    if [ "$mode" = package ]; then
        run_package_checks
        return
    fi
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
mode=readme
if [ "${1:-}" = "--package" ]; then
    mode=package
    shift
fi
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
: >"$scratch/notes"

start="$(date +%s)"
if [ "$mode" = package ]; then
    say "building the package (log: $scratch/package.log)"
    "$repo/tools/scripts/package.sh" >"$scratch/package.log" 2>&1 ||
        { tail -n 20 "$scratch/package.log"; exit 1; }
    cp "$(tail -n 1 "$scratch/package.log")" "$scratch/"
    cp /usr/share/assimp/models/Collada/duck.dae /usr/share/assimp/models/Collada/duckCM.tga \
        "$scratch/"
    # The models of the thumbnails and of the factory's check, by their paths in
    # assimp-testmodels, which the root does not get; the check itself.
    for model in "$stl" "$gltf" PLY/Wuson.ply; do
        mkdir -p "$scratch/models/$(dirname "$model")"
        cp "/usr/share/assimp/models/$model" "$scratch/models/$model"
    done
    mkdir "$scratch/factory"
    cp "$repo/tests/package/factory.sh" "$repo/tests/package/factory.py" "$scratch/factory/"
    # debootstrap, install, check, shot, import, its check and shot, thumbnail, version, man,
    # factory
    expected=11
else
    # What `git status` would show: tracked files as they are now and untracked ones not ignored.
    git -C "$repo" ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' file; do [ -e "$repo/$file" ] && printf '%s\0' "$file"; done |
        tar -C "$repo" --null -T - -cf "$scratch/repository.tar"
    expected=3
fi

say "scratch directory $scratch; logs there"
status=0
unshare --mount --pid --fork --propagation private -- bash "$0" --inside "$scratch" "$mode" \
    "$mirror" "$security" || status=$?

echo
echo "=== fresh-check summary ($(minutes "$(seconds_since "$start")") in all) ==="
while IFS='|' read -r name code seconds note; do
    printf '%-12s %-7s %8s  %s\n' "$name" "$([ "$code" = 0 ] && echo passed || echo FAILED)" \
        "$(minutes "$seconds")" "$note"
    [ "$code" = 0 ] || status=1
done <"$scratch/results"
[ "$(grep -c . "$scratch/results")" -eq "$expected" ] || status=1
cat "$scratch/notes"
installed() { comm -13 "$scratch/packages.$(($1 - 1))" "$scratch/packages.$1" | grep -c .; }
if [ "$mode" = package ]; then
    [ -f "$scratch/packages.1" ] && echo "the package brought $(installed 1) packages with it"
    [ -f "$scratch/packages.2" ] &&
        echo "the harness installed man-db for the man step ($(installed 2) packages)"
    [ -f "$scratch/packages.3" ] &&
        echo "the harness installed GNOME's thumbnail factory for its check ($(installed 3) packages)"
else
    for n in 1 2; do
        if [ -f "$scratch/packages.$n" ]; then
            echo "command $n installed $(installed "$n") packages; it asked for: $(grep -m1 \
                '^Installing:' "$scratch/command$n.log" | cut -d' ' -f2- || echo nothing)"
        fi
    done
    echo "the harness installed nothing in the root; fuzzing: ${QUORVANE_FUZZ_SECONDS:-60} s per target"
fi
echo "result: $([ "$status" -eq 0 ] && echo PASSED || echo FAILED)"

echo "logs: $scratch"
# The mounts lived in the namespace only; a root that still shows one is left alone.
if grep -q " $scratch/" /proc/self/mounts; then
    echo "fresh-check: something is still mounted under $scratch; the root stays" >&2
elif [ "${KEEP_ROOT:-0}" != 1 ]; then
    rm -rf "$scratch/root" "$scratch/repository.tar" "$scratch"/quorvane_*.deb "$scratch"/duck* \
        "$scratch/models" "$scratch/factory"
fi
exit "$status"

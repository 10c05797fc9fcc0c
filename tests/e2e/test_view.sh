#!/usr/bin/env bash
# quorvane-view as a user meets it: a model file opens in the viewer after one import, the
# second look at it imports nothing, a changed model is imported again, a model the importer
# refuses ends with the importer's message and status, and a scene folder opens as it is. With
# no argument outside a scene folder it shows the demo from a copy in the cache, from the build
# tree and installed (cmake --install into a scratch prefix): the copy is made once, made again
# when the installed demo changes, and without a cache the demo is shown where it lies.
quorvane="$1"
source "$2/tests/e2e/lib.sh"
source "$2/tests/e2e/viewer.sh"
view="$e2e_build/quorvane-view"
export XDG_CACHE_HOME="$e2e_tmp/cache"
models="$e2e_tmp/models"
mkdir -p "$models"

# Opens TARGET (none when empty) with quorvane-view, waits for the window and the drawn scene, ends the viewer
# with Escape; the output is in $e2e_tmp/NAME.log.
look_at() {
    local name="$1" target="$2" pid
    start_logged "$name" "$view" ${target:+"$target"}
    pid="$e2e_last_pid"
    wait_for_window Quorvane 60 >/dev/null
    # A lit model in the 16-bit window shows a few dozen shades where the clear colour is one.
    wait_for_scene "$e2e_tmp/$name.png" 30 24
    x11 xdotool key Escape
    expect_exit "$pid" 0
}

imported() {
    grep -q '^object files: ' "$e2e_tmp/$1.log"
}

cached_stamp() {
    local stamp
    stamp="$(ls "$XDG_CACHE_HOME"/quorvane/sphere-*/import.stamp 2>/dev/null | head -n 1)"
    [ -n "$stamp" ] || fail "no stamped cache folder for the sphere"
    echo "$stamp"
}

start_xvfb 1024x768x24
cp /usr/share/assimp/models/STL/sphereWithHole.stl "$models/sphere.stl"
look_at first "$models/sphere.stl"
imported first || fail "the first look did not import the model"
stamp="$(cached_stamp)"
[ -f "$(dirname "$stamp")/data/report.log" ] || fail "the viewer did not run in the cache folder"
before="$(stat -c %i "$stamp")"

look_at second "$models/sphere.stl"
imported second && fail "the second look imported the model again"
[ "$(stat -c %i "$(cached_stamp)")" = "$before" ] || fail "the cache folder was made again"

cp /usr/share/assimp/models/STL/Spider_binary.stl "$models/sphere.stl"
look_at changed "$models/sphere.stl"
imported changed || fail "a changed model was not imported again"

: >"$models/empty.obj"
status=0
"$view" "$models/empty.obj" >"$e2e_tmp/refused.log" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "a refused model ended with $status, not 1"
grep -q "^quorvane-import: $models/empty.obj: " "$e2e_tmp/refused.log" \
    || fail "the importer's refusal was not passed on: $(cat "$e2e_tmp/refused.log")"
ls "$XDG_CACHE_HOME"/quorvane/ | grep -q '^empty' && fail "a refused model left a cache folder"

dir="$(viewer_dir scene)"
look_at scene "$dir"  # the demo: hundreds of colours
expect_demo_report "$dir"

# No scene here: the demo, copied out of the checkout, with the viewer's report in the copy.
copy="$XDG_CACHE_HOME/quorvane/demo"
mkdir -p "$e2e_tmp/elsewhere"
cd "$e2e_tmp/elsewhere"
look_at demo ""
expect_demo_report "$copy"
[ -z "$(ls -A "$e2e_tmp/elsewhere")" ] || fail "the demo's run wrote into the working directory"

# Installed: the demo beside the program, copied again as it is another demo.
prefix="$e2e_tmp/prefix"
cmake --install "$e2e_build" --prefix "$prefix" >"$e2e_tmp/install.log" 2>&1 ||
    fail "cmake --install failed"
view="$prefix/bin/quorvane-view"
look_at installed ""
grep -qx "demo $prefix/share/quorvane/demo" "$copy/import.stamp" ||
    fail "the copy was not made from the installed demo: $(head -n 1 "$copy/import.stamp")"
expect_demo_report "$copy"
before="$(stat -c '%i %y' "$copy/import.stamp")"  # a new stamp may get the old one's inode
look_at installed-again ""
[ "$(stat -c '%i %y' "$copy/import.stamp")" = "$before" ] ||
    fail "the demo was copied again unchanged"
cp "$prefix/share/quorvane/demo/data/demo.cam" "$e2e_tmp/demo.cam"
mv "$e2e_tmp/demo.cam" "$prefix/share/quorvane/demo/data/demo.cam"  # as an upgrade replaces it
look_at upgraded ""
[ "$(stat -c '%i %y' "$copy/import.stamp")" != "$before" ] ||
    fail "a changed demo was not copied again"

# No cache folder can be named: the installed demo itself.
(unset HOME XDG_CACHE_HOME && look_at in-place "")
grep -q "showing the demo in $prefix/share/quorvane/demo itself" "$e2e_tmp/in-place.log" ||
    fail "no word of showing the demo in place: $(cat "$e2e_tmp/in-place.log")"

echo "quorvane-view: model imported once, reused, imported again when changed; refusal passed on;" \
    "scene folder opened; the demo from a copy, made once and again when the installed one changed"

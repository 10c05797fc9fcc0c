#!/usr/bin/env bash
# docs/scene-format.md as a reader follows it, so that the guide cannot drift from the readers:
# its texture recipe on a PNG (a header the viewer accepts, the PNG's bottom row stored first),
# then the worked example typed in from the guide, its textures made by the guide's commands,
# checked by quorvane-check (which must print what the guide shows) and drawn by quorvane-shot
# the right way up.
# Usage: scene_guide.sh BUILD_DIR SOURCE_DIR [SHOT]   (SHOT: the quorvane-shot to draw with;
# the tests give the one built for them, which a sanitizer build's leak check can run)
set -euo pipefail
build="$(cd "$1" && pwd)"
shot="${3:-$build/quorvane-shot}"
guide="$(cd "$2" && pwd)/docs/scene-format.md"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export PATH="/usr/bin:$PATH"  # ImageMagick's own convert, ahead of any other
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
block() {  # the fenced block whose info string is "$1"
    awk -v info="$1" '$0 == "```" info { on = 1; next } on && /^```/ { exit } on' "$guide"
}
bytes() { od -An -tu1 -j"$2" -N"$3" "$1" | xargs; }

cd "$tmp"
convert -size 3x1 xc:red xc:lime xc:blue -append -set comment 'an ID field if kept' picture.png
sh -e -c "$(block "sh recipe")"
[ "$(bytes texture.tga 0 18)" = "0 0 2 0 0 0 0 0 0 0 0 0 3 0 3 0 24 0" ] ||
    fail "the recipe's header: $(bytes texture.tga 0 18)"
[ "$(bytes texture.tga 18 9)" = "255 0 0 255 0 0 255 0 0" ] ||
    fail "the recipe's first row is not the picture's bottom (blue): $(bytes texture.tga 18 9)"

mkdir -p cube/data
awk -v dir=cube '/^File `[^`]+`:$/ { name = substr($0, 7, length($0) - 8); next }
    /^```/ { if (file != "") { close(file); file = "" } else if (name != "") file = dir "/" name
             name = ""; next }
    file != "" { print > file }' "$guide"
[ "$(find cube -type f | wc -l)" -eq 4 ] || fail "the example's files: $(find cube -type f)"
cd cube
sh -e -c "$(block "sh textures")"
checked="$("$build/quorvane-check")" || fail "quorvane-check refuses the example: $checked"
[ "$checked" = "$(block "console check" | grep -v '^\$ ')" ] || fail "quorvane-check says: $checked"
"$shot" data/demo.scn "$tmp/shot.png" >/dev/null
green() { convert "$tmp/shot.png" -format "%[fx:int(255*p{$1,$2}.g)]" info:; }
# The cube's front, near its top edge and near its bottom edge: gold above, red below.
if ! [ "$(green 350 120)" -gt 150 ] || ! [ "$(green 350 260)" -lt 100 ]; then
    cp "$tmp/shot.png" "$build/scene_guide.png"
    fail "the cube is not gold at the top and red at the bottom: see $build/scene_guide.png"
fi
echo "the guide's recipe and example hold"

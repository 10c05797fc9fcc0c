#!/usr/bin/env bash
# A real client of the package: GNOME's thumbnail factory (factory.py) makes and saves
# thumbnails of an STL, a PLY and a binary glTF model into a scratch $XDG_CACHE_HOME, through the
# installed thumbnailer's entry. gnome-desktop runs every thumbnailer in a bubblewrap sandbox
# that sees /usr, a scratch /tmp for the output and the one file, bound read-only at
# /tmp/gnome-desktop-file-to-thumbnail.EXT; its debug line of each launch shows that command,
# and the file's sandbox path, which exists nowhere outside, is what the thumbnailer was given.
#
# With a package, installs it by apt-get for the check and removes it afterwards (needs root,
# and leaves alone a machine that has quorvane installed already: status 77, skipped); without,
# checks the package installed (the fresh root of tools/scripts/fresh-check.sh --package).
# Usage: factory.sh MODELS_DIR [PACKAGE.deb]   (MODELS_DIR: assimp-testmodels' folder or a copy)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
models="$1"
deb="${2:+$(realpath "$2")}"
samples=(STL/sphereWithHole.stl:model/stl PLY/Wuson.ply:model/x-ply
         glTF2/BoxTextured-glTF-Binary/BoxTextured.glb:model/gltf-binary)
scratch="$(mktemp -d)"
installed=""
fail() { echo "FAIL: $*" >&2; exit 1; }
clean_up() {
    [ -z "$installed" ] || DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq \
        -o DPkg::Lock::Timeout=300 quorvane >"$scratch/remove.log" 2>&1 ||
        { cat "$scratch/remove.log" >&2; echo "FAIL: apt-get could not remove quorvane" >&2; }
    rm -rf "$scratch"
}
trap clean_up EXIT

if [ -n "$deb" ]; then
    # One check at a time on a machine: another checkout's would remove the package under it.
    exec 9>/run/lock/quorvane-factory-check.lock
    flock -w 600 9 || fail "another factory check has held /run/lock/quorvane-factory-check.lock for 10 minutes"
    if dpkg-query -W -f='${Status}' quorvane 2>/dev/null | grep -q 'ok installed'; then
        echo "skipped: quorvane is installed on this machine; the check installs and removes its own"
        exit 77
    fi
    installed=yes
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=300 "$deb" >"$scratch/install.log" 2>&1 ||
        { cat "$scratch/install.log" >&2; fail "apt-get could not install $deb"; }
fi
command -v quorvane-thumbnailer >/dev/null || fail "no quorvane-thumbnailer installed"
# Said plainly here, rather than as a thumbnail that failed.
said="$(bwrap --ro-bind / / --unshare-all --die-with-parent true 2>&1)" ||
    fail "bubblewrap cannot make its sandbox on this machine: $said"

arguments=()
for sample in "${samples[@]}"; do
    [ -f "$models/${sample%%:*}" ] || fail "no sample model $models/${sample%%:*}"
    cp "$models/${sample%%:*}" "$scratch/"
    arguments+=("$scratch/$(basename "${sample%%:*}"):${sample#*:}")
done
# GLib writes debug messages to standard output, among factory.py's lines.
status=0
env -i PATH=/usr/bin:/bin HOME="$scratch" XDG_CACHE_HOME="$scratch/cache" \
    XDG_DATA_HOME="$scratch/data" XDG_DATA_DIRS=/usr/share GSETTINGS_BACKEND=memory \
    G_MESSAGES_DEBUG=all /usr/bin/python3 "$here/factory.py" "${arguments[@]}" \
    >"$scratch/debug.log" 2>&1 || status=$?
grep -v -e '-DEBUG: ' -e '^$' "$scratch/debug.log" || true
if [ "$status" -ne 0 ]; then
    grep -- 'GnomeDesktop-DEBUG' "$scratch/debug.log" >&2 || true
    fail "the factory did not make every thumbnail (status $status)"
fi

for sample in "${arguments[@]}"; do
    file="${sample%:*}"
    inside="/tmp/gnome-desktop-file-to-thumbnail.${file##*.}"
    launch="$(grep -F "About to launch script: bwrap " "$scratch/debug.log" |
        grep -F -- " --ro-bind $file $inside " || true)"
    [ -n "$launch" ] || fail "no sandboxed launch for $file in the factory's debug output"
    for part in "--unshare-all" "--die-with-parent" "--ro-bind /usr /usr" \
        "quorvane-thumbnailer -s 128 file://$inside /tmp/gnome-desktop-thumbnailer.png"; do
        grep -qF -- "$part" <<<"$launch" || fail "the launch for $file lacks '$part': $launch"
    done
    [ ! -e "$inside" ] || fail "$inside exists outside the sandbox"
done
echo "${#arguments[@]} thumbnails saved, each made in the factory's sandbox (bwrap" \
    "--unshare-all, the model alone bound at /tmp/gnome-desktop-file-to-thumbnail.EXT)"
echo "the first launch: $(grep -m1 -F "About to launch script: bwrap " "$scratch/debug.log" |
    sed 's/.*About to launch script: //')"

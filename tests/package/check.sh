#!/usr/bin/env bash
# Checks of what is installed and packaged, one per ctest test (tests/CMakeLists.txt):
#   contents   the package holds every program, the demo, the pages, the desktop entry and the
#              icon, and nothing else (nothing of tests/, bench/ or fuzz/); its control fields
#   lintian    lintian finds no error in the package (its tags are printed)
#   pages      every manual page renders without a warning and names every option of its
#              program's --help
#   desktop    desktop-file-validate passes on the entry, which starts an installed program
#   version    every program answers --version with the project's one version
# Usage: check.sh CHECK BUILD_DIR SOURCE_DIR VERSION PROGRAM...
set -euo pipefail
check="$1" build="$2" source="$3" version="$4"
shift 4
programs=("$@")
fail() { echo "FAIL: $*" >&2; exit 1; }

package() {
    local deb
    deb="$(ls "$build"/package/quorvane_"$version"_*.deb 2>/dev/null | head -n 1)"
    [ -n "$deb" ] || fail "no package quorvane_${version}_*.deb in $build/package"
    echo "$deb"
}

check_contents() {
    local deb expected listed unexpected missing field program
    deb="$(package)"
    expected="$({
        for program in "${programs[@]}"; do
            echo "/usr/bin/$program"
            echo "/usr/share/man/man1/$program.1.gz"
        done
        (cd "$source" && find data -type f ! -name 'report.log*') |
            sed 's|^|/usr/share/quorvane/demo/|'
        echo /usr/share/applications/quorvane.desktop
        echo /usr/share/icons/hicolor/128x128/apps/quorvane.png
        echo /usr/share/doc/quorvane/copyright
        echo /usr/share/doc/quorvane/changelog.gz
    } | sort)"
    listed="$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort)"
    unexpected="$(comm -13 <(echo "$expected") <(echo "$listed"))"
    missing="$(comm -23 <(echo "$expected") <(echo "$listed"))"
    [ -z "$unexpected" ] || fail "the package holds what it should not: $unexpected"
    [ -z "$missing" ] || fail "the package lacks: $missing"
    for field in "Package: quorvane" "Version: $version" "Section: graphics"; do
        dpkg-deb -f "$deb" | grep -qx "$field" || fail "no '$field' in the control file"
    done
    # Computed from the programs' libraries, and the GL libraries SDL loads by name.
    for field in libsdl2-2.0-0 libassimp5 libc6 libgl1 libegl1; do
        dpkg-deb -f "$deb" Depends | grep -qw -- "$field" ||
            fail "Depends lacks $field: $(dpkg-deb -f "$deb" Depends)"
    done
    # The X core fonts of SDL's message boxes.
    dpkg-deb -f "$deb" Recommends | grep -qw xfonts-base || fail "xfonts-base is not recommended"
    echo "$(echo "$listed" | wc -l) files, as expected; Depends: $(dpkg-deb -f "$deb" Depends)"
}

check_lintian() {
    local deb status=0
    deb="$(package)"
    lintian --fail-on error --tag-display-limit 0 "$deb" || status=$?
    [ "$status" -eq 0 ] || fail "lintian found errors (status $status)"
    echo "lintian: no error"
}

check_pages() {
    local program page warnings option
    for program in "${programs[@]}"; do
        page="$build/packaging/man/$program.1.gz"
        [ -f "$page" ] || fail "no page $page"
        warnings="$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null)"
        [ -z "$warnings" ] || fail "$program.1: $warnings"
        # The viewer reads no command line: its page has no options to match.
        [ "$program" = quorvane ] && continue
        for option in $("$build/$program" --help | grep -oE -- '--[a-z-]+' | sort -u); do
            zcat "$page" | sed 's/\\-/-/g' | grep -q -- "$option" ||
                fail "$program.1 does not describe $option"
        done
    done
    echo "${#programs[@]} pages render without a warning and describe every option"
}

check_desktop() {
    local entry="$source/packaging/quorvane.desktop" command
    desktop-file-validate "$entry" || fail "desktop-file-validate refused $entry"
    command="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")"
    printf '%s\n' "${programs[@]}" | grep -qx "$command" ||
        fail "the entry starts $command, which is not installed"
    echo "the desktop entry is valid and starts $command"
}

check_version() {
    local program said
    for program in "${programs[@]}"; do
        [ "$program" = quorvane ] && continue  # reads no command line
        said="$("$build/$program" --version)"
        [ "$said" = "$program (Quorvane) $version" ] ||
            fail "$program --version said '$said', not '$program (Quorvane) $version'"
    done
    echo "every program answers --version with $version"
}

"check_$check"

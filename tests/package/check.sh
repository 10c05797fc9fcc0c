#!/usr/bin/env bash
# Checks of what is installed and packaged, one per ctest test (tests/CMakeLists.txt):
#   contents    the package holds every program, the demo, the pages, the desktop entry, the
#               thumbnailer's entry, the model types, the metainfo, the icons and the
#               completions, and nothing else (nothing of tests/, bench/ or fuzz/); its control
#               fields
#   lintian     lintian finds no error in the package (its tags are printed)
#   pages       every manual page renders without a warning and names every option of its
#               program's --help
#   desktop     desktop-file-validate passes on the package's entry, which starts an installed
#               program; the thumbnailer's entry runs an installed program; the entry, the
#               thumbnailer's and the metainfo list the same types; every icon has its size
#   metainfo    appstreamcli validate --pedantic finds nothing wrong in the metainfo and the
#               installed tree (what it prints is printed)
#   mime        the package's model types are valid under Debian's DTD and name no type or glob
#               that Debian defines; with them Debian's database gives each sample model its
#               type, by name and by content, and knows every type the entries list
#   completion  every program's bash completion, loaded as bash-completion loads it, offers
#               every option of its --help, and files, folders or values where it takes them
#   factory     GNOME's thumbnail factory makes thumbnails through the installed package in its
#               sandbox (tests/package/factory.sh; as root, else skipped)
#   version     every program answers --version with the project's one version
# Usage: check.sh CHECK BUILD_DIR SOURCE_DIR VERSION PROGRAM...
set -euo pipefail
check="$1" build="$2" source="$3" version="$4"
shift 4
programs=("$@")
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

package() {
    local deb
    deb="$(ls "$build"/package/quorvane_"$version"_*.deb 2>/dev/null | head -n 1)"
    [ -n "$deb" ] || fail "no package quorvane_${version}_*.deb in $build/package"
    echo "$deb"
}

unpacked() {  # the package's files as they are installed, under a folder of the scratch one
    [ -d "$scratch/root" ] || dpkg-deb -x "$(package)" "$scratch/root"
    echo "$scratch/root"
}

# The options a program's --help names: long ones, and short ones that stand alone (not the
# values of --up, which are upper case).
help_options() {
    "$build/$1" --help | grep -oE -- '(^|[^[:alnum:]-])(--[a-z][a-z-]*|-[a-z])\b' |
        grep -oE -- '-.*' | sort -u
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
        echo /usr/share/thumbnailers/quorvane.thumbnailer
        echo /usr/share/mime/packages/quorvane-mime.xml
        echo /usr/share/metainfo/org.quorvane.quorvane.metainfo.xml
        echo /usr/share/icons/hicolor/scalable/apps/quorvane.svg
        for size in 16 24 32 48 64 128 256; do
            echo "/usr/share/icons/hicolor/${size}x$size/apps/quorvane.png"
        done
        # One file, and a link under each program's name but the viewer's.
        echo /usr/share/bash-completion/completions/quorvane
        for program in "${programs[@]}"; do
            [ "$program" = quorvane ] || echo "/usr/share/bash-completion/completions/$program"
        done
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
        for option in $(help_options "$program"); do
            zcat "$page" | sed 's/\\-/-/g' | grep -qw -- "$option" ||
                fail "$program.1 does not describe $option"
        done
    done
    echo "${#programs[@]} pages render without a warning and describe every option"
}

check_desktop() {
    local root entry thumbnailer metainfo command runs listed icon size
    root="$(unpacked)"
    entry="$root/usr/share/applications/quorvane.desktop"
    thumbnailer="$root/usr/share/thumbnailers/quorvane.thumbnailer"
    metainfo="$(ls "$root"/usr/share/metainfo/*.metainfo.xml)"
    desktop-file-validate "$entry" || fail "desktop-file-validate refused $entry"
    command="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")"
    printf '%s\n' "${programs[@]}" | grep -qx "$command" ||
        fail "the entry starts $command, which is not installed"

    [ "$(head -n 1 "$thumbnailer")" = "[Thumbnailer Entry]" ] ||
        fail "the thumbnailer's entry does not begin with [Thumbnailer Entry]"
    # What opens a model and what draws it cover the same types; software centres are told so.
    listed="$(sed -n 's/^MimeType=//p' "$entry")"
    [ -n "$listed" ] || fail "the desktop entry lists no MimeType"
    [ "$(sed -n 's/^MimeType=//p' "$thumbnailer")" = "$listed" ] ||
        fail "the thumbnailer's MimeType differs from the desktop entry's"
    [ "$(sed -n 's|^ *<mediatype>\(.*\)</mediatype>$|\1;|p' "$metainfo" | tr -d '\n')" = "$listed" ] ||
        fail "the metainfo's mediatypes differ from the desktop entry's MimeType"
    # A factory runs Exec with the size, the file's URI and the output in place of the codes;
    # TryExec lets it pass over the entry where the program is missing.
    runs="$(sed -n 's/^TryExec=//p' "$thumbnailer")"
    grep -qx "Exec=$runs -s %s %u %o" "$thumbnailer" ||
        fail "the thumbnailer's entry does not run TryExec's program ($runs) as -s %s %u %o"
    printf '%s\n' "${programs[@]}" | grep -qx "$runs" ||
        fail "the thumbnailer's entry runs $runs, which is not installed"

    for icon in "$root"/usr/share/icons/hicolor/*x*/apps/quorvane.png; do
        size="$(basename "$(dirname "$(dirname "$icon")")")"
        [ "$(identify -format '%m %wx%h' "$icon")" = "PNG $size" ] ||
            fail "$icon is $(identify -format '%m %wx%h' "$icon"), not a PNG of $size"
    done
    grep -qx 'Icon=quorvane' "$entry" || fail "the entry's icon is not quorvane"
    echo "the desktop entry is valid and starts $command; the thumbnailer's runs" \
        "$runs; both and the metainfo list $(tr ';' '\n' <<<"$listed" | grep -c .) types;" \
        "the icons have their sizes"
}

check_metainfo() {
    local root said status=0
    root="$(unpacked)"
    said="$(appstreamcli validate --pedantic --no-net "$root"/usr/share/metainfo/*.xml 2>&1)" ||
        status=$?
    echo "$said"
    [ "$status" -eq 0 ] || fail "appstreamcli validate refused the metainfo (status $status)"
    # The tree: the metainfo with the desktop entry it launches.
    said="$(appstreamcli validate-tree --pedantic --no-net "$root" 2>&1)" || status=$?
    echo "$said"
    [ "$status" -eq 0 ] || fail "appstreamcli validate-tree refused the package (status $status)"
}

# Sample models of assimp-testmodels, each with the type it must get by its name and, copied
# to a name without extension, by its content alone ("-": by name only; the format has no
# signature, or its magic is Debian's).
mime_samples=(
    "PLY/Wuson.ply model/x-ply model/x-ply"
    "PLY/cube_binary.ply model/x-ply model/x-ply"
    "FBX/box.fbx model/x-fbx model/x-fbx"
    "FBX/cubes_nonames.fbx model/x-fbx model/x-fbx"
    "Collada/duck.dae model/vnd.collada+xml model/vnd.collada+xml"
    "Collada/teapots.DAE model/vnd.collada+xml model/vnd.collada+xml"
    "OFF/Cube.off model/x-off model/x-off"
    "X/test.x model/x-directx model/x-directx"
    "X/test_cube_binary.x model/x-directx model/x-directx"
    "ASE/ThreeCubesGreen.ASE model/x-ase model/x-ase"
    "AC/Wuson.ac model/x-ac3d model/x-ac3d"
    "AC/SphereWithLight_UTF8BOM.ac model/x-ac3d model/x-ac3d"
    "MS3D/jeep1.ms3d model/x-ms3d model/x-ms3d"
    "AMF/test1.amf model/x-amf model/x-amf"
    "B3D/WusonBlitz.b3d model/x-b3d model/x-b3d"
    "MD2/faerie.md2 model/x-md2 model/x-md2"
    "MD5/SimpleCube.md5mesh model/x-md5-mesh model/x-md5-mesh"
    "IQM/mrfixit.iqm model/x-iqm model/x-iqm"
    "OpenGEX/Example.ogex model/vnd.opengex -"
    "X3D/ComputerKeyboard.x3d model/x3d+xml model/x3d+xml"
    "3DS/fels.3ds image/x-3ds image/x-3ds"
    "LWO/LWO2/boxuv.lwo image/x-lwo -"
    "STL/sphereWithHole.stl model/stl -"
    "STL/Spider_binary.stl model/stl -"
    "OBJ/spider.obj model/obj -"
    "glTF2/BoxTextured-glTF-Embedded/BoxTextured.gltf model/gltf+json -"
    "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb model/gltf-binary -"
    "3MF/box.3mf model/3mf -"
    "BLEND/HUMAN.blend application/x-blender -"
)

check_mime() {
    local root ours debian dtd db said listed type sample named sniffed got glob clash checked=0
    root="$(unpacked)"
    ours="$root/usr/share/mime/packages/quorvane-mime.xml"
    debian=/usr/share/mime/packages/freedesktop.org.xml
    # Debian's file carries its DTD inside; ours is held to it.
    dtd="$scratch/mime.dtd"
    sed -n '/^<!DOCTYPE mime-info \[/,/^\]>/p' "$debian" | sed '1d;$d' >"$dtd"
    [ -s "$dtd" ] || fail "no DTD in $debian"
    xmllint --noout --dtdvalid "$dtd" "$ours" || fail "$ours is not valid under Debian's DTD"

    # Two databases in scratch folders: this machine's without ours (shared-mime-info's and any
    # other package's types), and the same with ours.
    mkdir -p "$scratch/debian/mime/packages" "$scratch/both/mime/packages" "$scratch/home"
    find /usr/share/mime/packages -name '*.xml' ! -name quorvane-mime.xml \
        -exec cp -t "$scratch/debian/mime/packages" {} +
    cp "$scratch"/debian/mime/packages/*.xml "$ours" "$scratch/both/mime/packages/"
    for db in debian both; do
        said="$(XDG_DATA_DIRS="$scratch/$db" update-mime-database "$scratch/$db/mime" 2>&1)" ||
            fail "update-mime-database failed on the $db database: $said"
        [ -z "$said" ] || fail "update-mime-database on the $db database said: $said"
    done
    for type in $(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$ours"); do
        cat "$scratch/debian/mime/types" "$scratch/debian/mime/aliases" | cut -d' ' -f1 |
            grep -qxF "$type" && fail "$type is a type Debian defines already"
    done
    for glob in $(sed -n 's/.*<glob pattern="\([^"]*\)".*/\1/p' "$ours"); do
        clash="$(awk -F: -v glob="$glob" 'tolower($3) == tolower(glob) { print $2 }' \
            "$scratch/debian/mime/globs2" | paste -sd " ")"
        [ -z "$clash" ] || fail "the glob $glob is Debian's already, of $clash"
    done
    listed="$(sed -n 's/^MimeType=//p' "$root/usr/share/applications/quorvane.desktop")"
    for type in $(tr ';' ' ' <<<"$listed"); do
        grep -qxF "$type" "$scratch/both/mime/types" ||
            fail "the desktop entry lists $type, which the database does not know"
    done

    content_type() {  # FILE: its type in the database of both
        XDG_DATA_HOME="$scratch/home" XDG_DATA_DIRS="$scratch/both" \
            gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
    }
    for sample in "${mime_samples[@]}"; do
        read -r sample named sniffed <<<"$sample"
        got="$(content_type "/usr/share/assimp/models/$sample")"
        [ "$got" = "$named" ] || fail "$sample is $got by its name, not $named"
        if [ "$sniffed" != - ]; then
            cp "/usr/share/assimp/models/$sample" "$scratch/unnamed"
            got="$(content_type "$scratch/unnamed")"
            [ "$got" = "$sniffed" ] || fail "$sample is $got by its content, not $sniffed"
        fi
        checked=$((checked + 1))
    done
    # Files of other kinds under the extensions of formats that get no glob.
    printf 'AC_INIT([demo], [1.0])\nAC_OUTPUT\n' >"$scratch/configure.ac"
    printf 'program DEMO { version ONE { int PING(void) = 1; } = 1; } = 0x20000001;\n' \
        >"$scratch/interface.x"
    printf 'ASEF\0\1\0\0\0\0\0\0' >"$scratch/swatches.ase"
    for sample in configure.ac interface.x swatches.ase; do
        got="$(content_type "$scratch/$sample")"
        case "$got" in model/*) fail "$sample, not a model, is $got" ;; esac
    done
    echo "$(grep -c '<mime-type type=' "$ours") types of ours, valid, none of Debian's;" \
        "$checked sample models get their types; the entries' types are all known"
}

# What the completion of PROGRAM offers for the last of WORDS, one word a line, loaded from
# the package as bash-completion loads it on first use: from the file named after the program.
completion_of() {  # PROGRAM WORD...
    BASH_COMPLETION_USER_DIR="$scratch/none" XDG_DATA_DIRS="$(unpacked)/usr/share" \
        bash --norc --noprofile -c '
        source /usr/share/bash-completion/bash_completion
        __load_completion "$1" || { echo "no completion for $1" >&2; exit 1; }
        function="$(complete -p "$1" | sed -n "s/.* -F \([^ ]*\) .*/\1/p")"
        [ -n "$function" ] || { echo "$1: $(complete -p "$1")" >&2; exit 1; }
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        COMP_LINE="$*"
        COMP_POINT=${#COMP_LINE}
        "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        [ ${#COMPREPLY[@]} -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}"' completion "$@"
}

# PROGRAM|WORDS BEFORE THE ONE COMPLETED|WHAT IT MUST OFFER|WHAT IT MUST NOT, in a folder that
# holds model.stl, scene.scn, picture.png and folder/.
completion_cases=(
    "quorvane-check||scene.scn folder|model.stl"
    "quorvane-shot||scene.scn folder|model.stl picture.png"
    "quorvane-shot|scene.scn|picture.png folder|model.stl"
    "quorvane-shot|--size|640x480|scene.scn"
    "quorvane-import||model.stl folder|"
    "quorvane-import|model.stl|folder|model.stl"
    "quorvane-import|--up|+Z -X|model.stl"
    "quorvane-import|--time-limit 5 --up|+Y|folder"
    "quorvane-import|--time-limit||model.stl"
    "quorvane-view|--no-shading|model.stl folder|"
    "quorvane-view|--up|-Z|model.stl"
    "quorvane-thumbnailer||model.stl|"
    "quorvane-thumbnailer|-s 256 model.stl|picture.png|model.stl"
    "quorvane-thumbnailer|-s|256|model.stl"
    "quorvane-thumbnailer|--size|1024|640x480"
    "quorvane||-|model.stl"
)

check_completion() {
    local program option offered case words wanted unwanted word cases=0
    mkdir -p "$scratch/work/folder"
    touch "$scratch/work/model.stl" "$scratch/work/scene.scn" "$scratch/work/picture.png"
    cd "$scratch/work"
    for program in "${programs[@]}"; do
        [ "$program" = quorvane ] && continue  # reads no command line
        offered="$(completion_of "$program" -)" || fail "$program has no completion"
        for option in $(help_options "$program"); do
            grep -qxF -- "$option" <<<"$offered" ||
                fail "$program's completion does not offer $option (it offers $(echo $offered))"
        done
    done
    for case in "${completion_cases[@]}"; do
        IFS='|' read -r program words wanted unwanted <<<"$case"
        printf '%s\n' "${programs[@]}" | grep -qxF "$program" || continue
        # $words unquoted: split as the shell splits a command line.
        offered="$(completion_of "$program" $words "")" || fail "$program has no completion"
        for word in $wanted; do
            [ "$word" = - ] && word=""  # nothing at all
            if [ -z "$word" ]; then
                [ -z "$offered" ] || fail "'$program $words' offers $(echo $offered), not nothing"
            else
                grep -qxF -- "$word" <<<"$offered" ||
                    fail "'$program $words' does not offer $word (it offers $(echo $offered))"
            fi
        done
        for word in $unwanted; do
            grep -qxF -- "$word" <<<"$offered" && fail "'$program $words' offers $word"
        done
        cases=$((cases + 1))
    done
    echo "every completion offers every option of its program's --help; $cases argument cases pass"
}

check_factory() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "skipped: the factory check installs the package with apt-get, which needs root"
        exit 77
    fi
    bash "$source/tests/package/factory.sh" /usr/share/assimp/models "$(package)"
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

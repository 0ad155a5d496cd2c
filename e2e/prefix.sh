#!/usr/bin/env bash
# Wine prefixes for the end-to-end tests: headless, reporting Windows XP; 32-bit, or 64-bit when
# WINEARCH=win64 (the harness passes the architecture of the build under test).
#
#   prefix.sh template DIR   make the template prefix DIR unless it is current
#   prefix.sh copy DIR DEST  make DEST a fresh prefix from the template DIR
#   prefix.sh stop DEST      end every Wine process of the prefix DEST and its wineserver
#
# The template is made once per build directory (build/xp/e2e/template) by `wineboot -i`
# with the build's WINEARCH, then set to HKCU\Software\Wine\Drivers "Graphics"="null" (no display:
# tests run without DISPLAY) and HKCU\Software\Wine "Version"="winxp". DIR/.stamp records
# this script's hash and the Wine version; the template is made again when either changes.
# Making it takes 10 to 20 seconds; it is made under a lock, so concurrent tests wait for one.
#
# A copy takes about a tenth of a second: the large trees of Wine's own binaries
# (drive_c/windows/system32, winsxs, and syswow64 in a 64-bit prefix) are hard links into the
# template where both lie on one file system, and copies where they do not; everything else is
# copied. wineserver rewrites the registry files in place, so
# those must never be links. Nothing may write into an existing file under those trees of a
# copy: put test files elsewhere (harness.py puts them in C:\e2e).
#
# Every Wine process runs with WINEDEBUG=-all and without DISPLAY. mscoree and mshtml are
# disabled so that Wine never looks for Mono or Gecko, and winemenubuilder so that nothing is
# written into the host user's desktop menus. harness.py is the Python side:
# it copies a prefix per test, runs programs in it and stops it (see the top of that file).
set -euo pipefail

export WINEARCH=${WINEARCH:-win32} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

# Debian's `wine` and `wineserver` scripts pick the 32-bit loader whenever wine32 is installed,
# so a 64-bit prefix calls wine64's loader and server directly (harness.py does the same).
if [[ $WINEARCH == win64 ]]; then
    export WINELOADER=${WINE64_LOADER:-/usr/lib/wine/wine64}
    export WINESERVER=${WINE64_SERVER:-/usr/lib/wine/wineserver64}
    wine() { "$WINELOADER" "$@"; }
    wineserver() { "$WINESERVER" "$@"; }
fi

stamp() {
    { sha256sum "${BASH_SOURCE[0]}" | cut -d' ' -f1; echo "$WINEARCH"; wine --version; } 2>/dev/null
}

make_template() {
    local dir=$1 new="$1.new"
    rm -rf "$new"
    WINEPREFIX=$new wine wineboot -i </dev/null >/dev/null 2>&1
    cat >"$new/drive_c/headless-xp.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Graphics"="null"

[HKEY_CURRENT_USER\Software\Wine]
"Version"="winxp"
EOF
    WINEPREFIX=$new wine regedit /S 'C:\headless-xp.reg' </dev/null >/dev/null 2>&1
    rm "$new/drive_c/headless-xp.reg"
    WINEPREFIX=$new wineserver -w
    # The copies choose their own wineserver socket directory.
    remove_socket_dir "$new"
    stamp >"$new/.stamp"
    rm -rf "$dir"
    mv "$new" "$dir"
}

template() {
    local dir=$1
    mkdir -p "$(dirname "$dir")"
    exec 9>"$dir.lock"
    flock 9
    if [[ ! -f $dir/.stamp || $(cat "$dir/.stamp") != "$(stamp)" ]]; then
        local start=$SECONDS
        make_template "$dir"
        echo "made Wine template $dir in $((SECONDS - start)) s"
    fi
}

copy() {
    local dir=$1 dest=$2
    [[ -f $dir/.stamp ]] || { echo "no template at $dir" >&2; exit 1; }
    local linked=(system32 winsxs) excludes=()
    [[ -d $dir/drive_c/windows/syswow64 ]] && linked+=(syswow64)
    for tree in "${linked[@]}"; do excludes+=("--exclude=./drive_c/windows/$tree"); done
    rm -rf "$dest"
    mkdir -p "$dest"
    tar -C "$dir" --exclude=./.stamp "${excludes[@]}" -cf - . | tar -C "$dest" -xf -
    local trees=("${linked[@]/#/$dir/drive_c/windows/}")
    if ! cp -al "${trees[@]}" "$dest/drive_c/windows/" 2>/dev/null; then
        # The template lies on another file system (a tmpfs /tmp, say), where no hard link
        # reaches: those trees are copied instead.
        rm -rf "${linked[@]/#/$dest/drive_c/windows/}"
        cp -a "${trees[@]}" "$dest/drive_c/windows/"
    fi
}

# Each prefix's wineserver leaves its socket directory behind in the temp directory, named in
# the prefix's file "wineserver".
remove_socket_dir() {
    local prefix=$1 socketdir=
    [[ -f $prefix/wineserver ]] && socketdir=$(cat "$prefix/wineserver")
    if [[ $socketdir == wine-* && -d ${TMPDIR:-/tmp}/$socketdir ]]; then
        rm -rf "${TMPDIR:-/tmp}/$socketdir"
    fi
    rm -f "$prefix/wineserver"
}

stop() {
    local dest=$1
    WINEPREFIX=$dest wineserver -k 2>/dev/null || true
    WINEPREFIX=$dest wineserver -w
    remove_socket_dir "$dest"
}

case ${1-} in
template) template "$(realpath -m "$2")" ;;
copy) copy "$(realpath -m "$2")" "$(realpath -m "$3")" ;;
stop) stop "$(realpath -m "$2")" ;;
*)
    echo "usage: prefix.sh template DIR | copy DIR DEST | stop DEST" >&2
    exit 2
    ;;
esac

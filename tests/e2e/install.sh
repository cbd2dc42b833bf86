#!/bin/bash
# Installs the build into a scratch prefix with DESTDIR, checks the layout and
# the launcher, metainfo and manual pages, then starts the installed program
# headless from another working directory with no --data: it finds its data
# beside itself (../share/quolis), shows the title, and everything it writes
# lands in the test's XDG_DATA_HOME, never under the installed tree. A start
# whose folder for saves cannot be made says so and still runs. Finally the
# uninstall removes every installed file.
set -u
BUILD=$1
SOURCE=$2
WORK=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$WORK" && mkdir -p "$WORK/elsewhere" "$WORK/home" || fail "scratch folder"
ROOT=$WORK/root
DESTDIR=$ROOT cmake --install "$BUILD" --prefix /usr > "$WORK/install.txt" 2>&1 || \
    { cat "$WORK/install.txt" >&2; fail "cmake --install"; }
P=$ROOT/usr
for f in bin/quolis bin/datpack bin/qcheck bin/qinspect bin/qscript bin/mkcontent \
         share/quolis/GameData/Data/Data.Dat share/quolis/GameData/Stage/Stage.Dat \
         share/quolis/GameData/Text/Text.Dat share/quolis/GameData/Texture/Texture.Dat \
         share/quolis/GameData/Save/InitE.Dat share/quolis/GameData/Ini/UserE.ini \
         share/applications/org.quolis.Quolis.desktop share/metainfo/org.quolis.Quolis.metainfo.xml \
         share/man/man6/quolis.6 share/man/man1/datpack.1 \
         share/icons/hicolor/16x16/apps/org.quolis.Quolis.png \
         share/icons/hicolor/48x48/apps/org.quolis.Quolis.png \
         share/icons/hicolor/256x256/apps/org.quolis.Quolis.png; do
    [ -s "$P/$f" ] || fail "not installed: $f"
done
# Nothing a game run may have left in the build folder is shipped.
[ ! -e "$P/share/quolis/GameData/Save/Save1E.Dat" ] || fail "a save was installed"
[ ! -e "$P/share/quolis/GameData/Ini/InputSettingE.ini" ] || fail "key bindings were installed"
"$P/bin/datpack" decode-file "$P/share/quolis/GameData/Ini/UserE.ini" | tr '\n' ' ' | \
    grep -q '^FirstPlay 1 ' || fail "the installed User.ini is not the shipped one"

desktop-file-validate "$P/share/applications/org.quolis.Quolis.desktop" || fail "desktop file"
appstreamcli validate --no-net "$P/share/metainfo/org.quolis.Quolis.metainfo.xml" \
    > "$WORK/appstream.txt" 2>&1 || { cat "$WORK/appstream.txt" >&2; fail "metainfo"; }
for m in "$P"/share/man/man*/*; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$m" > /dev/null 2> "$WORK/man.txt" || \
        fail "manual page $m"
    [ ! -s "$WORK/man.txt" ] || { cat "$WORK/man.txt" >&2; fail "warnings in $m"; }
done
python3 - "$P/share/icons/hicolor" <<'PY' || fail "icons"
import os, struct, sys
for d in sorted(os.listdir(sys.argv[1])):
    n = int(d.split('x')[0])
    data = open(os.path.join(sys.argv[1], d, 'apps', 'org.quolis.Quolis.png'), 'rb').read()
    w, h, depth, colour = struct.unpack('>IIBB', data[16:26])
    assert (w, h) == (n, n), f'{d}: {w}x{h}'
    assert colour == 6, f'{d}: no alpha channel'
PY

"$P/bin/quolis" --version | grep -q '^quolis [0-9]' || fail "--version"
"$P/bin/quolis" --help | grep -q -- '--user-dir' || fail "--help does not list --user-dir"

find "$ROOT" -printf '%P %s %T@\n' | sort > "$WORK/tree-before.txt"
XDG=$WORK/xdg
run() { # name, extra options
    local name=$1
    shift
    (cd "$WORK/elsewhere" && env -u QUOLIS_SOUNDFONT HOME="$WORK/home" XDG_DATA_HOME="$XDG" \
        "$P/bin/quolis" --headless --fixed-step "$@" > "$WORK/$name.out" 2> "$WORK/$name.err")
}
# First start: the logo, then the title; the logo's end writes User.ini.
run first --frames 400 --screenshot "399:$WORK/title.png" || \
    { cat "$WORK/first.err" >&2; fail "the installed program did not run"; }
grep -q 'ended in scene 1 ' "$WORK/first.out" || { cat "$WORK/first.out" >&2; fail "no title"; }
[ -s "$WORK/title.png" ] || fail "no screenshot"
[ -s "$XDG/quolis/Ini/UserE.ini" ] || fail "User.ini did not land in XDG_DATA_HOME"
"$P/bin/datpack" decode-file "$XDG/quolis/Ini/UserE.ini" | tr '\n' ' ' | grep -q '^FirstPlay 0 ' || \
    fail "the player's User.ini does not say FirstPlay 0"
# The second start reads the player's User.ini first: straight to the title.
run second --frames 3 || fail "second start"
grep -q 'ended in scene 1 ' "$WORK/second.out" || { cat "$WORK/second.out" >&2; fail "not the title"; }
find "$ROOT" -printf '%P %s %T@\n' | sort > "$WORK/tree-after.txt"
diff "$WORK/tree-before.txt" "$WORK/tree-after.txt" > /dev/null || \
    fail "the run wrote under the installed tree: $(diff "$WORK/tree-before.txt" "$WORK/tree-after.txt")"
[ -z "$(ls -A "$WORK/elsewhere")" ] || fail "the run wrote into its working directory"

# A folder for saves that cannot be made: one clear line, the game still runs.
touch "$WORK/not-a-folder"
run blocked --frames 3 --user-dir "$WORK/not-a-folder/quolis" || \
    { cat "$WORK/blocked.err" >&2; fail "a start with an unusable user folder failed"; }
grep -q 'cannot create the folder for saves and settings' "$WORK/blocked.err" || \
    { cat "$WORK/blocked.err" >&2; fail "no message about the user folder"; }

# Uninstall: every installed file goes, and the game's own folders with them.
DESTDIR=$ROOT cmake -DMANIFEST="$BUILD/install_manifest.txt" -P "$SOURCE/dist/Uninstall.cmake" \
    > "$WORK/uninstall.txt" 2>&1 || { cat "$WORK/uninstall.txt" >&2; fail "uninstall"; }
left=$(find "$ROOT" -type f | head -5)
[ -z "$left" ] || fail "left after uninstall: $left"
[ ! -e "$P/share/quolis" ] || fail "share/quolis left after uninstall"
echo "ok"

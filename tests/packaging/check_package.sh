#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it as a user would meet it: its
# file list and control fields, and, unpacked into a scratch root (never installed on this
# machine), programs that run, a menu entry, store listing and file type that the
# desktop's own validators accept, and manual pages that render cleanly and cover the
# tool's commands, options and editing operations.
#
# Usage: check_package.sh BUILD_DIR SCRATCH_DIR VERSION SAMPLE_IMAGE CLI_DOC
set -uo pipefail
build=$1 scratch=$2 version=$3 sample=$4 cli_doc=$5

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
die() { echo "FAIL: $*"; exit 1; }

rm -rf "$scratch" && mkdir -p "$scratch" || die "cannot make $scratch"
cpack -G DEB -B "$scratch" --config "$build/CPackConfig.cmake" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; die "cpack failed"; }
arch=$(dpkg --print-architecture)
deb="$scratch/rivo800-editor_${version}_${arch}.deb"
[ -f "$deb" ] || die "no $deb; cpack made: $(ls "$scratch")"

# --- the file list ------------------------------------------------------------------
app_id=io.github.rivo800.editor
expected=(
  ./usr/bin/rivo800-editor
  ./usr/bin/rivo800-tool
  ./usr/share/applications/$app_id.desktop
  ./usr/share/metainfo/$app_id.metainfo.xml
  ./usr/share/mime/packages/rivo800-editor.xml
  ./usr/share/icons/hicolor/scalable/apps/rivo800-editor.svg
  ./usr/share/icons/hicolor/48x48/apps/rivo800-editor.png
  ./usr/share/icons/hicolor/256x256/apps/rivo800-editor.png
  ./usr/share/man/man1/rivo800-editor.1.gz
  ./usr/share/man/man1/rivo800-tool.1.gz
  ./usr/share/locale/en/LC_MESSAGES/rivo800.mo
)
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sort >"$scratch/files" ||
  die "dpkg-deb -c failed"
printf '%s\n' "${expected[@]}" | sort >"$scratch/expected"
# Exactly these files: nothing missing, and no test program, header or library slipped in.
diff -u "$scratch/expected" "$scratch/files" || fail "the package's files differ from the list above"

# --- the control fields ---------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = rivo800-editor ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
field Maintainer | grep -Eq '^[^<]+ <[^@> ]+@[^> ]+>$' || fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[ "$(field Description | wc -l)" -ge 3 ] || fail "Description lacks a summary and a long text"
# The dependencies are computed from the programs' libraries, not written by hand.
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qxF "$lib" || fail "Depends lacks $lib: '$(field Depends)'"
done

# --- unpacked: the programs run ---------------------------------------------------------
root="$scratch/root"
dpkg-deb -x "$deb" "$root" || die "dpkg-deb -x failed"
tool="$root/usr/bin/rivo800-tool"
editor="$root/usr/bin/rivo800-editor"
out=$("$tool" --version) || fail "rivo800-tool --version failed"
[ "$out" = "rivo800-tool $version" ] || fail "rivo800-tool --version printed '$out'"
# --version needs no display: make sure none is used.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$editor" --version) || fail "rivo800-editor --version failed"
[ "$out" = "rivo800-editor $version" ] || fail "rivo800-editor --version printed '$out'"
help=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$editor" --help) || fail "rivo800-editor --help failed"
for word in --help --version '\[file\]'; do
  grep -q -- "$word" <<<"$help" || fail "rivo800-editor --help does not mention $word"
done
# The unpacked tool reads the sample exactly as the tool of the build tree does.
"$tool" info "$sample" >"$scratch/info.packaged" || fail "rivo800-tool info on the sample failed"
"$build/src/tool/rivo800-tool" info "$sample" >"$scratch/info.built" || fail "the built tool's info failed"
grep -q '"type": 1' "$scratch/info.packaged" || fail "info does not see the sample as a flash image"
cmp -s "$scratch/info.packaged" "$scratch/info.built" || fail "the packaged tool's info differs from the built one's"

# --- the installed catalogue: the unpacked tool finds it beside itself -----------------
printf 'junk' >"$scratch/junk.Bin"
err=$(env -u RIVO800_LOCALEDIR LANG=en_GB.UTF-8 "$tool" info "$scratch/junk.Bin" 2>&1 >/dev/null)
grep -q "Unknown file format" <<<"$err" || fail "the packaged tool does not speak English under en_GB: '$err'"
err=$(env -u RIVO800_LOCALEDIR LANG=C "$tool" info "$scratch/junk.Bin" 2>&1 >/dev/null)
grep -q "Formato file sconosciuto" <<<"$err" || fail "the packaged tool does not speak Italian under C: '$err'"

# --- desktop integration ---------------------------------------------------------------
desktop="$root/usr/share/applications/$app_id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
grep -qx 'Exec=rivo800-editor %f' "$desktop" || fail "the menu entry does not pass the file as %f"
grep -qx 'MimeType=application/x-rivo800-image;' "$desktop" || fail "the menu entry does not claim the image type"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon named '$icon'"
for size in 48 256; do
  file "$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png" | grep -q "PNG image data, $size x $size" ||
    fail "the ${size}x${size} icon is not a $size x $size PNG"
done
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "appstreamcli rejects the metainfo file"
appstreamcli validate-tree --no-net "$root/usr" || fail "appstreamcli rejects the installed tree"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "the metainfo file does not list release $version"

# The file type: *.rcu in any case, and never the common *.bin / *.dat.
mkdir -p "$scratch/mime" && cp -r "$root/usr/share/mime/packages" "$scratch/mime/" &&
  XDG_DATA_DIRS="$scratch" update-mime-database "$scratch/mime" >/dev/null 2>"$scratch/mime.err" || fail "update-mime-database failed"
[ -s "$scratch/mime.err" ] && { cat "$scratch/mime.err"; fail "update-mime-database complained"; }
globs=$(grep 'application/x-rivo800-image' "$scratch/mime/globs2")
[ "$globs" = "50:application/x-rivo800-image:*.rcu" ] || fail "the image type's globs are '$globs'"

# --- manual pages -------------------------------------------------------------------------
man1="$root/usr/share/man/man1"
for page in rivo800-tool rivo800-editor; do
  warnings=$(zcat "$man1/$page.1.gz" | groff -ww -z -man -Tutf8 2>&1)
  [ -z "$warnings" ] || fail "groff warns about $page.1: $warnings"
  zcat "$man1/$page.1.gz" | grep -q "$page $version" || fail "$page.1 does not carry version $version"
  zcat "$man1/$page.1.gz" | grep -q '@PROJECT_VERSION@' && fail "$page.1 still holds a placeholder"
done
# The tool's page, rendered, names every subcommand the tool has and every option and
# editing operation of the contract.
zcat "$man1/rivo800-tool.1.gz" | groff -man -Tutf8 -P-cbou 2>/dev/null >"$scratch/tool.txt"
subcommands=$("$tool" --help | awk '/^Subcommands:/ {on = 1; next} on && /^  [a-z]/ {print $1}')
[ -n "$subcommands" ] || fail "no subcommands found in rivo800-tool --help"
# Contract words: the first word of each backquoted name in the first column of the
# tables of cli.md (open parameters and editing operations).
contract=$(grep -E '^\| `' "$cli_doc" | cut -d'|' -f2 | grep -o '`[^` ]*' | tr -d '`' | sort -u)
[ -n "$contract" ] || fail "no option or operation found in $cli_doc"
for word in $subcommands $contract; do
  grep -qF -- "$word" "$scratch/tool.txt" || fail "rivo800-tool.1 does not mention '$word'"
done
for status in 0 1 2 3 4; do
  grep -Eq "^ +$status +[A-Z]" "$scratch/tool.txt" || fail "rivo800-tool.1 does not explain exit status $status"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package $deb: all checks passed"

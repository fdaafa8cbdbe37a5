#!/usr/bin/env bash
# Vantrel as a user installs it: `cmake --install` into a scratch root, the desktop files
# validated, the installed programs run from /usr/bin with their texts in /usr/share/vantrel,
# and the Debian package made with its library dependencies.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
app=
trap '[ -n "$app" ] && kill -9 $app 2>/dev/null; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

root=$scratch/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr
id=org.vantrel.Vantrel
for file in bin/vantrel bin/vantrel-cli share/vantrel/Language/GB.lng share/vantrel/Language/FR.lng \
    share/vantrel/Help/Vantrel_GB/index.txt share/vantrel/Help/Vantrel_FR/index.txt \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
    share/icons/hicolor/256x256/apps/$id.png share/man/man1/vantrel.1.gz share/man/man1/vantrel-cli.1.gz \
    share/doc/vantrel/copyright; do
  [ -e "$usr/$file" ] || fail "not installed: $file"
done
[ ! -e "$usr/share/vantrel/Language/keys.txt" ] || fail "the key list of the developers is installed"
desktop-file-validate "$usr/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >/dev/null || fail "metainfo"
grep -q "^Icon=$id$" "$usr/share/applications/$id.desktop" || fail "the entry names another icon"
# The man pages compressed at the best level, without a name or a time in the gzip header.
for page in vantrel vantrel-cli; do
  file=$usr/share/man/man1/$page.1.gz
  [ ! -e "${file%.gz}" ] || fail "man $page installed uncompressed too"
  gzip -t "$file" || fail "man $page is not gzip"
  header=$(od -An -tx1 -N10 "$file" | tr -d ' \n')
  [ "${header:6:2}" = 00 ] || fail "man $page keeps a file name in its gzip header"
  [ "${header:8:8}" = 00000000 ] || fail "man $page keeps a time stamp in its gzip header"
  [ "${header:16:2}" = 02 ] || fail "man $page is not compressed at level 9"
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null) || fail "man $page"
  [ -z "$out" ] || fail "man $page warns: $out"
done
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$usr/share/man/man1/vantrel-cli.1.gz" 2>/dev/null | grep -q "3 when another process" ||
  fail "vantrel-cli(1) does not tell exit status 3"

# The copyright file in Debian's machine-readable format: its header, and a licence paragraph
# for every licence a Files paragraph names.
copyright=$usr/share/doc/vantrel/copyright
head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
grep -q '^Files: \*$' "$copyright" || fail "the copyright file has no paragraph for the whole program"
grep -q '^Copyright: .' "$copyright" || fail "the copyright file names no holder"
while read -r licence; do
  [ "$(grep -c "^License: $licence$" "$copyright")" -ge 2 ] || fail "the copyright file does not give the licence $licence"
done < <(awk '/^Files:/ { files = 1 } files && /^License:/ { print $2; files = 0 }' "$copyright")

# The command-line tool: help and version on standard output with status 0.
cli=$usr/bin/vantrel-cli
out=$("$cli" --help) || fail "--help did not end with 0"
grep -q "send --email" <<<"$out" || fail "--help does not list the commands"
out=$("$cli" --version) || fail "--version did not end with 0"
grep -q "^vantrel-cli 3\.2\.5" <<<"$out" || fail "--version prints: $out"

# Each program in its own home: no settings, no socket of another test.
fresh_home() {
  export HOME=$scratch/home-$1 XDG_RUNTIME_DIR=$scratch/home-$1/run XDG_DATA_HOME=$scratch/home-$1/data XDG_CACHE_HOME=$scratch/home-$1/cache
  mkdir -p -m 700 "$HOME" "$XDG_RUNTIME_DIR"
}
# The window, offscreen: it finds its texts (no "No language folder" box that would hold it
# open), picks the language file of the locale and closes cleanly on SIGTERM.
export QT_QPA_PLATFORM=offscreen VANTREL_SETTINGS_BASE=http://127.0.0.1:9/common/
# Each case: locale, the file name the settings keep, the file whose texts are shown.
for case in en_GB.UTF-8:GB.lng:GB.lng fr_FR.UTF-8:FR.lng:FR.lng fr_BE.UTF-8:FR.lng:FR.lng de_CH.UTF-8:CH.lng:GB.lng; do
  IFS=: read -r locale expected shown <<<"$case"
  fresh_home "gui-$locale"
  LC_ALL= LC_MESSAGES= LANG=$locale "$usr/bin/vantrel" & app=$!
  ini=$XDG_DATA_HOME/SendPhoto/vantrel.ini
  for _ in $(seq 150); do [ -S "$XDG_RUNTIME_DIR/Vantrel_Multi" ] && [ -d "$XDG_DATA_HOME/SendPhoto" ] && break; sleep 0.1; done
  sleep 1
  kill -TERM $app
  for _ in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
  kill -0 $app 2>/dev/null && fail "the installed window under $locale did not close on SIGTERM (no texts?)"
  wait $app || fail "the installed window under $locale ended with an error"
  app=
  grep -q "^FileName=$expected" "$ini" || fail "under $locale the window chose $(grep FileName "$ini")"
  # The tool, in the same home, speaks the language the window chose, from the texts it
  # found in share/vantrel.
  text=$(sed -n 's/^MailAddrErr=//p' "$usr/share/vantrel/Language/$shown")
  out=$(LC_ALL= LC_MESSAGES= LANG=$locale "$cli" send --email= 2>&1) && fail "send without an address succeeded"
  [ "$out" = "$text" ] || fail "the installed tool under $locale says: $out"
done

# The Debian package: its dependencies come from the libraries the programs link.
if command -v dpkg-shlibdeps >/dev/null; then
  (cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >/dev/null) || fail "cpack"
  deb=$(ls "$scratch"/deb/vantrel_*.deb)
  depends=$(dpkg-deb -f "$deb" Depends)
  for library in libqt6widgets6 libqt6keychain1 libjpeg62-turbo libcurl4 libpugixml; do
    grep -q "$library" <<<"$depends" || fail "the package does not depend on $library: $depends"
  done
  contents=$(dpkg-deb -c "$deb")  # whole, so that an early grep cannot break the pipe
  grep -q "./usr/share/vantrel/Language/FR.lng" <<<"$contents" || fail "the package lacks the texts"
  grep -q "./usr/share/doc/vantrel/copyright" <<<"$contents" || fail "the package lacks the copyright file"
fi
echo "install: all passed"

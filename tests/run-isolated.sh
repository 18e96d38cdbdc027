#!/bin/sh
# Runs one test with HOME and the XDG folders in a fresh temporary folder,
# removed afterwards, so no test can touch the real home folder.
set -u
top=$(mktemp -d "${TMPDIR:-/tmp}/tw-test.XXXXXX") || exit 1
trap 'rm -rf "$top"' EXIT INT TERM
export HOME="$top/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
export XDG_CACHE_HOME="$HOME/.cache" XDG_RUNTIME_DIR="$top/run"
export XDG_CONFIG_DIRS="$top/etc-xdg" XDG_DATA_DIRS="$top/share:/usr/share"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$HOME/Documents" "$HOME/Desktop" "$XDG_CONFIG_DIRS"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cat > "$XDG_CONFIG_HOME/user-dirs.dirs" <<DIRS
XDG_DOCUMENTS_DIR="\$HOME/Documents"
XDG_DESKTOP_DIR="\$HOME/Desktop"
DIRS
unset ALLUSERSPROFILE
TW_TEST_TMP="$top"; export TW_TEST_TMP
"$@"

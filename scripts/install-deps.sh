#!/bin/sh
# Installs what Tarnwick needs to build, run and test on Debian 12.
set -eu
packages="build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
  libglib2.0-dev libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev
  xclip wl-clipboard xdg-utils shared-mime-info desktop-file-utils libfile-mimeinfo-perl
  xvfb xauth openbox x11-utils fonts-dejavu-core"
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
done
[ -n "$missing" ] || exit 0
$SUDO apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y $missing

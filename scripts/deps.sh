#!/usr/bin/env bash
# Installs the Debian packages a task needs, when any is missing. Quick when all are there.
# Usage: scripts/deps.sh start|test
set -euo pipefail

build=(cmake ninja-build g++ pkg-config zlib1g-dev qt6-base-dev qt6-multimedia-dev
       libfluidsynth-dev libjack-jackd2-dev timgm6mb-soundfont libmpg123-dev espeak-ng
       fonts-dejavu-core fonts-wqy-microhei libgtest-dev libgmock-dev libbenchmark-dev)
headless=(xvfb openbox x11-utils imagemagick)
tests=(xdotool libx11-dev libxext-dev pulseaudio pulseaudio-utils)

case "${1:-}" in
  start) wanted=("${build[@]}" "${headless[@]}") ;;
  test)  wanted=("${build[@]}" "${headless[@]}" "${tests[@]}") ;;
  *) echo "usage: $0 start|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null || true)
  [[ "$status" == ii* ]] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing Debian packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "These packages are missing and installing them needs root or sudo: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

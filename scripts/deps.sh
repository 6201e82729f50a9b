#!/usr/bin/env bash
# Checks that the Debian packages a task needs are installed. As root it installs the
# missing ones with apt-get; otherwise it prints the exact command and stops.
# Usage: scripts/deps.sh run|test|bench|pictures
set -euo pipefail

build=(cmake make g++ freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri libx11-dev
       libpng-dev)
case "${1:-run}" in
    run)   wanted=("${build[@]}") ;;
    test)  wanted=("${build[@]}" libgtest-dev libbenchmark-dev libxtst-dev xvfb
                   clang libclang-rt-14-dev) ;;
    pictures) wanted=("${build[@]}" xvfb) ;;
    bench) wanted=("${build[@]}" libbenchmark-dev libbullet-dev xvfb) ;;
    *) echo "usage: $0 run|test|bench|pictures" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
    echo "Installing missing packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
    echo "Missing Debian packages. Install them first, then run this command again:" >&2
    echo "    sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi

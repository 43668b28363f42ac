#!/usr/bin/env bash
# Installs whichever of the given Debian packages are missing; does nothing when all are there.
# A package of another architecture ("wine32:i386") adds that architecture to dpkg first.
set -euo pipefail

missing=()
for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing Debian packages: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
for pkg in "${missing[@]}"; do
    arch=${pkg#*:}
    [ "$arch" = "$pkg" ] && continue
    if [ "$arch" != "$(dpkg --print-architecture)" ] &&
        ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
        echo "Adding the $arch architecture to dpkg (dpkg --add-architecture $arch)"
        "${sudo[@]}" dpkg --add-architecture "$arch"
    fi
done
if [ "$(id -u)" -eq 0 ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
elif command -v sudo >/dev/null 2>&1; then
    sudo apt-get update
    sudo DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
else
    echo "These Debian packages are missing and I cannot install them without root or sudo:" >&2
    echo "    ${missing[*]}" >&2
    echo "Install them with:  apt-get install ${missing[*]}" >&2
    exit 1
fi

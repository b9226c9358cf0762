#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# asking apt-get only for those that are missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-webengine-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk xvfb xauth
  clang libclang-rt-14-dev
  qt6-translations-l10n desktop-file-utils appstream
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "install-deps: missing packages (${missing[*]}) and no root rights or sudo" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
echo "install-deps: apt-get update"
"${SUDO[@]}" apt-get update
echo "install-deps: apt-get install -y --no-install-recommends ${missing[*]}"
DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the reference host
# need, when any is missing. Run as root on Debian 12.
set -euo pipefail
packages=(
  cmake ninja-build ccache g++ g++-multilib g++-mingw-w64-i686-posix qemu-user
  libgtest-dev googletest libbenchmark-dev libgl-dev libegl-dev libopengl-dev libgl1-mesa-dri libegl-mesa0
  libtinyobjloader-dev libstb-dev libcli11-dev python3 python3-numpy clang libclang-rt-14-dev valgrind
  python3-dev pybind11-dev python3-pytest python3-pip python3-setuptools python3-wheel
  file binutils-mingw-w64-i686 libtinygltf-dev blender dpkg-dev
  libglfw3-dev libimgui-dev nlohmann-json3-dev xvfb xauth xdotool chromium
)
# Wine runs the Win32 build's programs: its 32-bit part comes from the i386 architecture.
wine_packages=(wine wine32:i386)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
apt_get() { apt-get -o DPkg::Lock::Timeout=900 "$@"; }

missing=() missing_wine=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
for p in "${wine_packages[@]}"; do installed "$p" || missing_wine+=("$p"); done
# Node.js and npm run the glTF validator; a Node.js from elsewhere will do.
command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)
[ ${#missing[@]} -gt 0 ] || [ ${#missing_wine[@]} -gt 0 ] || exit 0

export DEBIAN_FRONTEND=noninteractive
if [ ${#missing_wine[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
# A mirror may fail to serve one index (an i386 one, lagging): the lists
# apt has are enough, and an install that still misses something fails below.
apt_get update -qq || echo "setup.sh: apt-get update failed on an index; going on with the lists apt has" >&2
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ ${#missing_wine[@]} -gt 0 ]; then
  echo "installing: ${missing_wine[*]}"
  if ! apt_get install -y -qq --no-install-recommends "${missing_wine[@]}" >/dev/null; then
    # The i386 lists can lag behind the amd64 ones: the security suite then
    # holds amd64 versions of multi-arch libraries that i386 lacks, and the two
    # must match. Lowering that suite for this one install lets apt take the
    # versions both architectures have.
    echo "setup.sh: retrying wine with the security suite lowered (i386 lists behind amd64)" >&2
    preferences=$(mktemp)
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' >"$preferences"
    status=0
    apt_get -o Dir::Etc::Preferences="$preferences" install -y -qq --no-install-recommends --allow-downgrades \
      "${missing_wine[@]}" >/dev/null || status=$?
    rm -f "$preferences"
    if [ $status -ne 0 ]; then
      echo "setup.sh: cannot install ${missing_wine[*]}: the Win32 tests run under wine and need them" >&2
      exit 1
    fi
  fi
fi

#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the reference host
# need, when any is missing. Run as root on Debian 12.
set -euo pipefail
packages=(
  cmake ninja-build ccache g++ g++-multilib g++-mingw-w64-i686-posix qemu-user
  libgtest-dev googletest libbenchmark-dev libgl-dev libegl-dev libopengl-dev libgl1-mesa-dri libegl-mesa0
  libtinyobjloader-dev libstb-dev libcli11-dev python3 python3-numpy clang libclang-rt-14-dev valgrind
  file binutils-mingw-w64-i686 libtinygltf-dev blender dpkg-dev
  libglfw3-dev libimgui-dev nlohmann-json3-dev xvfb xauth xdotool
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# Node.js and npm run the glTF validator; a Node.js from elsewhere will do.
command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

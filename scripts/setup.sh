# Shared by run.sh and test.sh: installs missing Debian packages and builds.
# Sourced, not run.

VANTREL_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libfreetype-dev libfontconfig-dev
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libwebp-dev libexpat1-dev libbrotli-dev fonts-liberation2)
VANTREL_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev libgif-dev
  xvfb xauth x11-apps imagemagick poppler-utils gifsicle giflib-tools python3-pil
  dpkg-dev file desktop-file-utils man-db time)
# Only fuzzing proper (fuzz/run.sh) needs clang; the tests replay the fuzz
# targets' seeds in the sanitizer build.
VANTREL_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Installs the packages that dpkg does not report as installed.
vantrel_ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# vantrel_build DIR [cmake options...]: configures (once) and builds into DIR.
vantrel_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

# Shared by scripts/run and scripts/test: installs what the build needs from
# Debian's packages (only what is missing) and builds the project.
# Sourced, not run.

MODALSYNTH_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MODALSYNTH_BUILD="${MODALSYNTH_BUILD:-$MODALSYNTH_ROOT/build}"

MODALSYNTH_PACKAGES=(
  g++ cmake make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev libgl-dev
  fonts-dejavu-core locales xvfb xauth
)
# The fuzz targets (scripts/fuzz): clang with libFuzzer and the sanitizers.
MODALSYNTH_PACKAGES+=(clang libclang-rt-14-dev)

ensure_packages() {
  local missing=()
  for p in "${MODALSYNTH_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "missing Debian packages: ${missing[*]} (install them as root)" >&2
    return 1
  fi
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The comma-separator locale the tests use.
ensure_test_locale() {
  locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$' && return 0
  if [ "$(id -u)" -eq 0 ]; then
    localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 || echo "could not generate ru_RU.UTF-8" >&2
  fi
}

build_project() {
  local dir="${1:-$MODALSYNTH_BUILD}"
  shift || true
  cmake -S "$MODALSYNTH_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DMODALSYNTH_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

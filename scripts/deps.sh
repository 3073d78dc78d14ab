# Sourced by the other scripts: installs the Debian packages the build needs, once.
# Uses sudo when not run as root. Set TESSALINE_NO_APT=1 to skip the check.

tessaline_packages=(
    build-essential cmake ninja-build pkg-config clang clang-format
    libgtest-dev libgmock-dev libbenchmark-dev libssl-dev
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-tools-dev libqt6sql6-sqlite
    libgl-dev xvfb xauth poppler-utils chromium iproute2
    libsodium-dev libcli11-dev libutf8proc-dev libidn2-dev
    dbus-daemon python3
    libcsv-dev libcbor-dev liboath-dev libqrencode-dev libzxcvbn-dev diceware
    oathtool  # the tests check one-time codes against it
    shared-mime-info xdg-utils desktop-file-utils libglib2.0-bin help2man dpkg-dev
)

tessaline_ensure_packages() {
    [ "${TESSALINE_NO_APT:-0}" = 1 ] && return 0
    local missing=() p
    for p in "${tessaline_packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

tessaline_configure() {  # build-dir [extra cmake args...]
    local dir=$1; shift
    cmake -S "$tessaline_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${TESSALINE_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
}

tessaline_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

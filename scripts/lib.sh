# Shared by the scripts: installs what is missing from Debian's packages.

# Every Debian package a script calls a tool from is in one of these lists, so that each script
# runs on a fresh Debian 12 with nothing but sudo.
BUILD_PACKAGES="build-essential cmake qt6-base-dev libgl-dev libgtest-dev libcups2-dev fonts-liberation"
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix wine wine64 googletest"
BENCH_PACKAGES="libbenchmark-dev libx11-dev libxdamage-dev libxtst-dev python3 python3-reportlab"
# What scripts/run needs besides the build when there is no display: a virtual one.
VIRTUAL_DISPLAY_PACKAGES="xvfb xauth"
TEST_PACKAGES="clang-format clang-tidy poppler-utils xvfb xauth xdotool imagemagick openbox wmctrl dbus-daemon at-spi2-core python3-pyatspi sway qt6-wayland wtype grim cups cups-client printer-driver-cups-pdf lintian desktop-file-utils appstream dpkg-dev file"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null; then
            echo "Missing Debian packages, and no sudo to install them: as root, run apt-get install ${missing[*]}" >&2
            exit 1
        fi
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

build_jobs() {
    nproc 2>/dev/null || echo 2
}

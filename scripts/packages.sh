# Debian 12 packages, and a helper that installs only the missing ones. Sourced by scripts/run
# and scripts/test.

# Compiler, build tools, Qt 6 (widgets, QtConcurrent, QtTest), fontconfig, wayland-client, QCoro, nlohmann-json, pci.ids;
# scdoc for the manual pages, dpkg-dev for the package's library dependencies.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libfontconfig-dev libwayland-dev qcoro-qt6-dev nlohmann-json3-dev pci.ids libdrm-common scdoc dpkg-dev)
# GoogleTest/GMock for the tests, Google Benchmark for bench/; valijson and jsonschema check the
# report's JSON against its schema, promtool (prometheus) its metrics and alert rules; man-db
# renders the manual pages, lintian checks the package, systemd-analyze (systemd) the metrics
# unit's exposure.
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev libvalijson-dev python3-jsonschema prometheus man-db lintian systemd)
# clang with libFuzzer for the fuzz targets; clang-tidy for scripts/tidy.
TOOL_PACKAGES=(clang libclang-rt-14-dev clang-tidy)
# A virtual X display for scripts/screenshots.
SCREENSHOT_PACKAGES=(xvfb xauth)

ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing Debian packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures a preset once; later builds re-run CMake by themselves when a CMakeLists.txt changes.
configure_once() {
    local preset=$1
    if [ ! -f "build/$preset/CMakeCache.txt" ]; then
        cmake --preset "$preset"
    fi
}

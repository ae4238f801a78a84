# Sourced by test.sh and sondar.sh: installs the Debian packages the build and the tests use,
# only those that are missing (apt-get update first, as a fresh machine needs).
sondar_packages=(cmake ninja-build g++ pkg-config libxml2-dev libcurl4-openssl-dev duktape-dev
                 libssl-dev uuid-dev libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
                 openssl python3-spyne qt6-base-dev poppler-utils libxlsxwriter-dev
                 zlib1g-dev gsoap libgsoap-dev)

install_missing_packages() {
    local missing=() p sudo=""
    for p in "${sondar_packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    (( ${#missing[@]} )) || return 0
    [[ "$(id -u)" -eq 0 ]] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

#!/usr/bin/env bash
# Installs what Sondar needs, builds it, registers its component server and starts it.
#   ./sondar.sh                                          the workbench (with the demo service
#                                                        on http://127.0.0.1:8089/demo?wsdl)
#   ./sondar.sh WSDL SERVICE OPERATION INPUTFILE [LOG]   one operation, unattended; the exit
#                                                        status tells whether it succeeded
set -euo pipefail
launch_dir=$PWD
cd "$(dirname "$0")"
here=$PWD

source scripts/install-packages.sh
install_missing_packages

cmake -S . -B build -G Ninja > /dev/null
cmake --build build -j "$(nproc)" --target Sondar wscom nvregsvr sondar-demo-service

# Register the component server in the user's registry unless it is registered for this build.
library="$here/build/lib/libwscom.so"
hive="${NORVALE_REGISTRY_DIR:-${XDG_CONFIG_HOME:-$HOME/.config}/norvale}/HKEY_CLASSES_ROOT.reg"
clsid_key='CLSID\{89ED74DF-5346-4D6E-B185-2FBD0EB5D5C3}\InprocServer32]'
if ! { [[ -f "$hive" ]] && grep -i -A3 -F "$clsid_key" "$hive" | grep -qF "@=\"$library\""; }; then
    build/bin/nvregsvr register "$library"
fi

if (( $# > 0 )); then
    cd "$launch_dir"
    exec "$here/build/bin/Sondar" "$@"
fi

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "sondar.sh: no display (DISPLAY or WAYLAND_DISPLAY) to show the workbench on;" \
         "try: xvfb-run ./sondar.sh" >&2
    exit 1
fi

# Something to analyse at once: the demo service, unless the port is taken already.
demo_pid=""
if ! (exec 3<>/dev/tcp/127.0.0.1/8089) 2>/dev/null; then
    build/bin/sondar-demo-service --port 8089 > /dev/null 2>&1 &
    demo_pid=$!
    trap '[[ -n "$demo_pid" ]] && kill "$demo_pid" 2>/dev/null' EXIT
fi

cd "$launch_dir"
status=0
"$here/build/bin/Sondar" || status=$?
exit "$status"

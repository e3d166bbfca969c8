#!/usr/bin/env bash
# Runs a test program as a user whom file permissions bind: as "nobody", with a folder of its own,
# when started by the superuser (as CI is), else as the user who started it. Tests that make a
# file or a folder read-only skip themselves under the superuser, for whom nothing is read-only.
#
#   as_unprivileged.sh <test program> [arguments...]
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    exec "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chown nobody "$work"
runuser -u nobody -- env HOME="$work" TMPDIR="$work" XDG_RUNTIME_DIR="$work" \
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$@"

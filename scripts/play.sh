#!/usr/bin/env bash
# Installs what is missing, builds, and starts a game from its ready-to-run folder:
#   scripts/play.sh [Game|Cindervaulter]
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:-Game}
case "$name" in
    Game | Cindervaulter) ;;
    *) echo "usage: scripts/play.sh [Game|Cindervaulter]" >&2; exit 2 ;;
esac
scripts/setup.sh
scripts/build.sh build
# The games read their files relative to the working directory, so they start inside their folder.
cd "build/run/$name"
exec "./$name"

#!/usr/bin/env bash
# Makes the game's generated media into media/generated/ (git-ignored).
# Every generator is a script of ours; nothing is downloaded. A task whose
# sources have not changed since its last run is skipped (see tools/README.md).
#   tools/make_media.sh              make what is out of date
#   tools/make_media.sh --force      remake everything
#   tools/make_media.sh --list       list the tasks and their files
#   tools/make_media.sh hero spider  make only these tasks
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Debian's interpreter, standard library only: a python3 earlier on PATH
# (a virtualenv, pyenv) must not change what gets generated.
PYTHON=/usr/bin/python3
if [ ! -x "$PYTHON" ]; then
  echo "media: $PYTHON is missing; install the Debian package python3" >&2
  exit 1
fi
for need in OgreXMLConverter:ogre-1.12-tools espeak-ng:espeak-ng sox:sox cc:build-essential; do
  tool="${need%%:*}"
  if ! command -v "$tool" >/dev/null; then
    echo "media: $tool is missing; install the Debian package ${need#*:}" >&2
    exit 1
  fi
done
export PYTHONDONTWRITEBYTECODE=1
exec "$PYTHON" "$ROOT/tools/media/build.py" "$@"

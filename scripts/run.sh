#!/usr/bin/env bash
# Installs what is missing, builds, puts the default poem.mdb beside the program
# unless one is already there, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
# Never overwrite a database the user already has.
[ -e build/bin/poem.mdb ] || cp build/data/poem.mdb build/bin/poem.mdb
exec build/bin/lyrabook "$@"

#!/usr/bin/env bash
# Builds the program and starts it, on the file given or on the sample card file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/bootstrap.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
file="${1:-samples/contacts.csv}"
if [ -x build/src/app/tabellan ]; then
  exec build/src/app/tabellan "$file"
fi
exec build/src/cli/tabellan-cli dump "$file"

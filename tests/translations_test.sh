#!/usr/bin/env bash
# Every text the code shows has its English: the catalogue gathered afresh from the code holds
# no text without a translation.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
copy=$(mktemp --suffix=.ts)
trap 'rm -f "$copy"' EXIT
cp "$here/translations/TavuroMP3_en.ts" "$copy"
bash "$here/scripts/translations.sh" "$copy" || exit 1
if grep -q 'type="unfinished"' "$copy"; then
  echo "FAIL: texts without English (run scripts/translations.sh and translate them):"
  grep -B2 'type="unfinished"' "$copy" | grep '<source>'
  exit 1
fi
echo "1 passed, 0 failed"

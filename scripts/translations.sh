#!/usr/bin/env bash
# Gathers every translatable text of the program into the English catalogue
# (translations/TavuroMP3_en.ts): new texts come in unfinished, texts gone from the code leave.
# Open the file in Qt Linguist (or an editor) to give the new ones their English.
#   bash scripts/translations.sh [catalogue.ts]   (another path: check a copy, leave the tree's alone)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
lupdate=$(command -v lupdate || true)
[ -x /usr/lib/qt6/bin/lupdate ] && lupdate=/usr/lib/qt6/bin/lupdate
[ -n "$lupdate" ] || { echo "lupdate not found: install qt6-l10n-tools" >&2; exit 1; }
catalogue=${1:-translations/TavuroMP3_en.ts}
"$lupdate" -silent -no-obsolete -locations none -source-language zh_CN -target-language en \
  -I . app platform storage library schedule tasks settings zones desktop -ts "$catalogue"
unfinished=$(grep -c 'type="unfinished"' "$catalogue" || true)
echo "$catalogue: $(grep -c '<message' "$catalogue") texts, $unfinished without English"

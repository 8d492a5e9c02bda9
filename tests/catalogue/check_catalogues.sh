#!/usr/bin/env bash
# Every text of the table (resources/Strings.h) has a translation in every
# catalogue of resources/po, and every text there is a Text, which is
# translated when shown. A text added without its translations fails here.
#   check_catalogues.sh <template made at build time> <po folder> <Strings.h>
set -euo pipefail
pot=$1
po_dir=$2
strings=$3

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ -s "$pot" ] || fail "no template $pot"
count=0
for po in "$po_dir"/*.po; do
  # msgcmp counts an entry without a translation (or a fuzzy one) as missing.
  msgcmp "$po" "$pot" || fail "$(basename "$po") lacks the translations above"
  count=$((count + 1))
done
[ "$count" -gt 0 ] || fail "no catalogues in $po_dir"

# A plain character array would be shown in Japanese whatever the language.
if grep -nE 'constexpr +(const +)?char +kStr' "$strings"; then
  fail "the texts above are character arrays: declare them as Text so they are translated"
fi
echo "$count catalogues translate all $(($(grep -c "^msgid " "$pot") - 1)) message ids"

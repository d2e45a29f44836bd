#!/usr/bin/env bash
# Every text the sources mark for translation has a finished translation in every catalogue: lupdate
# is run over the sources into copies of translations/*.ts, exactly as scripts/update-translations.sh
# runs it, and any entry it leaves unfinished (a new text, or one whose source changed) is named.
#
#   check_translations.sh LUPDATE SOURCE_DIR
set -euo pipefail
lupdate=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root"/translations/*.ts "$work"/
common=(-no-obsolete -locations none -extensions cpp,h,ui "$root/src")
"$lupdate" -silent "${common[@]}" -ts "$work/corvane_de.ts"
"$lupdate" -silent "${common[@]}" -pluralonly -ts "$work/corvane_en.ts"
status=0
for catalogue in "$work"/*.ts; do
  # The source of each unfinished entry, from the lines lupdate writes above its translation.
  missing=$(awk '/<source>/ { source = $0 } /type="unfinished"/ { print source }' "$catalogue" |
    sed -e 's/^ *<source>//' -e 's/<\/source>$//' -e 's/&lt;/</g' -e 's/&gt;/>/g' -e 's/&quot;/"/g' -e "s/&apos;/'/g" -e 's/&amp;/\&/g')
  if [[ -n $missing ]]; then
    echo "$(basename "$catalogue"): untranslated texts (run scripts/update-translations.sh and translate them):"
    printf '  %s\n' "$missing"
    status=1
  fi
done
[[ $status -ne 0 ]] || echo "every marked text is translated in: $(cd "$work" && echo *.ts)"
exit $status

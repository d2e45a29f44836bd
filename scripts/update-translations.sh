#!/usr/bin/env bash
# Refreshes the catalogues under translations/ from the sources: new texts appear unfinished for a
# translator (Qt Linguist, or any editor), texts no longer in the sources are dropped. corvane_en.ts
# holds only the plural forms English needs. Also `cmake --build --preset default --target
# update_translations`.
#
#   update-translations.sh [LUPDATE]    LUPDATE defaults to Qt 6's lupdate
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${1:-$(command -v lupdate-qt6 || command -v /usr/lib/qt6/bin/lupdate || command -v lupdate)}
common=(-no-obsolete -locations none -extensions cpp,h,ui src)
"$lupdate" "${common[@]}" -ts translations/corvane_de.ts
"$lupdate" "${common[@]}" -pluralonly -ts translations/corvane_en.ts

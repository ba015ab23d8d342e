#!/usr/bin/env bash
# Brings translations/*.ts up to date with the texts the sources mark for translation
# (tr(), QCoreApplication::translate, QT_TRANSLATE_NOOP). New texts come in unfinished: give
# them their English and Russian wording (Qt Linguist, or by hand) before committing;
# ./test refuses unfinished entries.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=/usr/lib/qt6/bin/lupdate
[ -x "$lupdate" ] || lupdate=lupdate
# No source locations: the files stay the same when code merely moves.
"$lupdate" -silent -no-obsolete -locations none -extensions cpp,h src \
  -ts translations/quorvel_en.ts translations/quorvel_ru.ts

#!/bin/sh
# The desktop menu's way in. The recorder works in its working directory,
# where it needs "config.kvt" and writes its logs; a menu starts it in the
# home folder, so it gets a folder of its own, and the design-time settings
# the first time.
dir=${POMIAROWNIK_DIR:-"$HOME/Pomiarownik"}
mkdir -p "$dir" && cd "$dir" || exit 1
if [ ! -e config.kvt ]; then
  printf '%s\r\n' "TORNI - Jednokanalowy pomiarownik temperatury. Plik konfiguracyjny" \
    25 22 0 auto blank 255 100 0 0 > config.kvt || exit 1
fi
exec "$(dirname "$(readlink -f "$0")")/pomiarownik" "$@"

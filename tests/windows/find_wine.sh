# Sourced by the scripts that run Windows programs: sets WINE (the wine64 loader, unless the
# caller set it) and wineserver (empty when there is none), or exits with 2.
if [ -z "${WINE:-}" ]; then
    for w in /usr/lib/wine/wine64 "$(command -v wine64)" "$(command -v wine)"; do
        [ -n "$w" ] && [ -x "$w" ] && { WINE=$w; break; }
    done
fi
[ -n "${WINE:-}" ] || { echo "wine64 not found (apt-get install wine64)"; exit 2; }
wineserver=$(dirname "$WINE")/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || true)

# Sourced by the scripts that make test and benchmark data: the data is made again only when the
# script that makes it changes. Once the data is complete, the script's hash is written beside it.
# made_by SCRIPT DIR: whether DIR holds complete data made by this very SCRIPT.
made_by() { [ "$(cat "$2/.complete" 2> /dev/null)" = "$(sha256sum "$1" | cut -c1-16)" ]; }
# mark_made_by SCRIPT DIR
mark_made_by() { sha256sum "$1" | cut -c1-16 > "$2/.complete"; }

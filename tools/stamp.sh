# Sourced by the scripts that make test and benchmark data: the data is made again only when the
# script that makes it, or a script it calls (MORE), changes. Once the data is complete, the
# scripts' hash is written beside it.
script_hash() { cat "$@" | sha256sum | cut -c1-16; }
# made_by SCRIPT DIR [MORE...]: whether DIR holds complete data made by these very scripts.
made_by() { [ "$(cat "$2/.complete" 2> /dev/null)" = "$(script_hash "$1" "${@:3}")" ]; }
# mark_made_by SCRIPT DIR [MORE...]
mark_made_by() { script_hash "$1" "${@:3}" > "$2/.complete"; }

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sources the bash completion as bash-completion would and completes a few words: switches,
# long options, engines and file names after /p:. Argument: the completion file.
set -uo pipefail
completion="$1"
. /usr/share/bash-completion/bash_completion || exit 1
. "$completion" || exit 1
compopt() { :; } # only a real completion may set options
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work" && mkdir shots && touch page.png pages.txt

failed=0
checked=0
# complete LINE EXPECTED...: what bash offers for the last word of LINE (as readline splits it)
complete_line() {
    local line="$1"
    shift
    COMP_LINE="$line"
    COMP_POINT=${#line}
    # readline splits at ':' too
    read -r -a COMP_WORDS <<< "$(sed 's/:/ : /g' <<< "$line")"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    [[ $line == *: ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _vistrel_pro vistrel-pro "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got expected
    checked=$((checked + 1))
    got="$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')"
    expected="$(printf '%s\n' "$@" | sort | tr '\n' ' ')"
    if [[ $got != "$expected" ]]; then
        echo "FAIL: '$line' gave '$got', expected '$expected'"
        failed=$((failed + 1))
    else
        echo "ok: '$line'"
    fi
}

complete_line "vistrel-pro --no" --no-sandbox
complete_line "vistrel-pro --b" --batch
complete_line "vistrel-pro /c" /cp: /ct:
complete_line "vistrel-pro /e:" chromium qt
complete_line "vistrel-pro /e:c" chromium
complete_line "vistrel-pro /r:" 1 2 3
complete_line "vistrel-pro /p:pa" page.png pages.txt
complete_line "vistrel-pro /p:sh" shots/
complete_line "vistrel-pro --batch pag" page.png pages.txt
complete_line "vistrel-pro --jobs " 
complete_line "vistrel-pro --re" --reduced-motion --resume
complete_line "vistrel-pro --color-scheme " light dark
complete_line "vistrel-pro --scale 2" 2 2.5
complete_line "vistrel-pro --cookies pag" page.png pages.txt
complete_line "vistrel-pro --script @pa" @page.png @pages.txt
complete_line "vistrel-pro --delay " 
echo "$((checked - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]

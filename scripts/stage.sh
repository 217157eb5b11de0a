# Sourced by the SDK scripts. stage DIR NAME KEY COMMAND...: runs COMMAND unless DIR/.stage-NAME
# says it finished with the same KEY (the versions and options it was built with); a stage
# that did not finish runs again. The sourcing script defines say.
stage() {
    local dir=$1 name=$2 key=$3
    shift 3
    if [ -f "$dir/.stage-$name" ] && [ "$(cat "$dir/.stage-$name")" = "$key" ]; then
        say "$name: reusing what was built before"
        return
    fi
    rm -f "$dir/.stage-$name"
    say "$name"
    local start=$SECONDS
    "$@"
    printf '%s' "$key" >"$dir/.stage-$name"
    say "$name took $((SECONDS - start)) s"
}

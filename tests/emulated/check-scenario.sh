#!/bin/sh
# Compares the facts that one scenario gathered in the emulated PC with the
# scenario's .expected file: one fact a line, in order; a line that starts
# with "~ " is an extended regular expression for the whole fact. The first
# difference is told with what was expected and what the 32-bit program did,
# then every fact it gave.
# Usage: check-scenario.sh <facts.txt> <scenarios/name.expected>
set -u
facts=$1
expected=$2
name=$(basename "$expected" .expected)

sed -n "s/^$name|//p" "$facts" | awk -v name="$name" '
    FNR == NR { want[++wanted] = $0; next }
    { seen[++got] = $0 }
    function matches(pattern, fact) {
        if (substr(pattern, 1, 2) == "~ ")
            return fact ~ ("^(" substr(pattern, 3) ")$")
        return fact == pattern
    }
    END {
        want[++wanted] = "end" # the scenario ran to its end
        if (got == 0) {
            printf "%s: the scenario did not run in the emulated PC\n", name
            exit 1
        }
        # The first difference only: the facts after a missing one all move.
        bad = 0
        for (i = 1; !bad && (i <= wanted || i <= got); i++) {
            if (i <= wanted && i <= got && matches(want[i], seen[i]))
                continue
            bad = 1
            printf "%s: fact %d: expected \"%s\", the 32-bit program gave \"%s\"\n", name, i,
                i <= wanted ? want[i] : "(nothing more)", i <= got ? seen[i] : "(nothing)"
        }
        if (bad) {
            printf "%s: all it gave:\n", name
            for (i = 1; i <= got; i++)
                printf "  %s\n", seen[i]
            printf "%s: the serial log beside the facts ends each scenario with its Wine log\n", name
        }
        exit bad
    }' "$expected" -

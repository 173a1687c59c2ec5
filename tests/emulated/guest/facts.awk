# A scenario's facts as the serial console carries them: each line prefixed
# with "QS|<scenario>|", and each temporary name qsXXXX (up to four
# hexadecimal digits that change from run to run: Wine writes the number
# without leading zeros) numbered by its first appearance, as qs#1, qs#2...,
# so that a copy and its backup still show as a pair.
{
    line = $0
    out = ""
    while (match(line, /qs[0-9A-Fa-f]+[.]/)) {
        name = toupper(substr(line, RSTART + 2, RLENGTH - 3))
        if (!(name in number))
            number[name] = ++count
        out = out substr(line, 1, RSTART - 1) "qs#" number[name] "."
        line = substr(line, RSTART + RLENGTH)
    }
    print "QS|" scenario "|" out line
}

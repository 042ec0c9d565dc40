# Compares the lines of `gcov -t` listings (one per program, named on the
# command line before the tracefile) with the DA lines of qor_report's
# LCOV tracefile (the last file). For every line that both report, both
# must say run or both not run. Prints:
#   compared N               lines that both report
#   differ FILE:LINE gcov=G qor=Q
# gcov marks a line never run with ##### (or ===== when only an
# exceptional path reaches it) and a line with no code with -; a count
# may carry a * for a block of the line that never ran.
FNR == 1 { file = FILENAME; sub(/.*\//, "", file); sub(/\.c\.gcov$/, ".c", file) }
FILENAME !~ /\.info$/ {
    split($0, field, ":")
    count = field[1]; gsub(/[ *]/, "", count)
    line = field[2] + 0
    if (count == "-" || line == 0) next
    gcov[file ":" line] = (count == "#####" || count == "=====") ? 0 : count + 0
    next
}
/^SF:/ { file = substr($0, 4); sub(/.*\//, "", file); next }
/^DA:/ {
    split(substr($0, 4), field, ",")
    qor[file ":" field[1]] = field[2] + 0
}
END {
    compared = 0
    for (key in gcov) {
        if (!(key in qor)) continue
        ++compared
        if ((gcov[key] > 0) != (qor[key] > 0)) print "differ " key " gcov=" gcov[key] " qor=" qor[key]
    }
    print "compared " compared
}

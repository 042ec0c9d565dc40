# Compares the condition coverage of the generated programs as qor_cc and
# clang measured it. Input files, by extension: the generator's maps
# (P.map), clang's warnings (P.warn), `llvm-cov show -show-mcdc` listings
# (P.cov), and qor_report's JSON (*.json),
# which comes last. For every decision of the maps it prints, each line
# starting with its subject:
#
#   skip      a decision clang does not measure, and why
#   vectors   the distinct evaluations (vector and outcome) differ
#   reference unique-cause computed from qor_cc's vectors differs from llvm-cov's verdicts
#   verdict   qor_report's unique-cause verdicts differ from llvm-cov's
#   masking   qor_report shows a condition under unique-cause, not masking
#   compared  N  (the number of decisions compared)
#   single    N  (decisions of one condition, which neither measures)
#
# Vectors are written in qor_cc's order of the conditions, a character
# each (1, 0, - not evaluated), then = and the outcome (T or F).

function program(file) { sub(/.*\//, "", file); sub(/\.[^.]*$/, "", file); return file }

# The elements of a space-separated list, sorted and joined again.
function sorted(list,    n, a, i, j, t, out) {
    n = split(list, a, " ")
    for (i = 2; i <= n; i++)
        for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    for (i = 1; i <= n; i++) out = out (i > 1 ? " " : "") a[i]
    return out
}

# For each condition, whether two evaluations show it: both evaluated it
# with different values, the outcomes differ, and every other condition
# has the same value in both or was not evaluated in one of them.
function unique_cause(list, width,    n, e, c, i, j, k, u, v, x, y, other, shown, out) {
    n = split(list, e, " ")
    for (c = 1; c <= width; c++) {
        shown = 0
        for (i = 1; i <= n && !shown; i++)
            for (j = i + 1; j <= n && !shown; j++) {
                u = e[i]; v = e[j]
                x = substr(u, c, 1); y = substr(v, c, 1)
                if (x == "-" || y == "-" || x == y || substr(u, width + 2) == substr(v, width + 2)) continue
                other = 0
                for (k = 1; k <= width; k++)
                    if (k != c && substr(u, k, 1) != substr(v, k, 1) && substr(u, k, 1) != "-" && substr(v, k, 1) != "-") other = 1
                shown = !other
            }
        out = out (shown ? "+" : "-")
    }
    return out
}

# The condition (1..) whose span in the map holds a column, and in
# flip[] whether the `!` at or after that column (those inside what clang
# takes for the condition) invert its value.
function condition_at(key, column,    n, s, k, f, b, nb, m) {
    n = split(spans[key], s, " ")
    for (k = 1; k <= n; k++) {
        split(s[k], f, ":")
        if (column < f[1] + 0 || column > f[2] + 0) continue
        nb = split(f[3], b, ",")
        flip[k] = 0
        for (m = 1; m <= nb; m++) if (b[m] + 0 >= column) flip[k] = !flip[k]
        return k
    }
    return 0
}

function shown_list(verdicts,    k, out) {
    for (k = 1; k <= length(verdicts); k++) if (substr(verdicts, k, 1) == "+") out = out " c" k
    return out == "" ? " none" : out
}

# The evaluations and verdicts of llvm-cov for a decision of the maps, in
# qor_cc's terms, into llvm_vectors and llvm_verdicts; "" if it maps.
function from_llvm(key,    n, j, k, at, inv, v, out, seen, vec) {
    n = ncond[key]; llvm_vectors = ""; llvm_verdicts = ""
    if (!(key in region)) return "no MC/DC region of clang's"
    if (llvm_count[key] != n) return "clang counts " llvm_count[key] " conditions"
    for (j = 1; j <= n; j++) {
        k = condition_at(key, llvm_column[key, j])
        if (k == 0 || (k in seen)) return "condition C" j " of clang's is no condition of the map"
        seen[k] = 1; at[j] = k; inv[j] = flip[k]
    }
    for (k = 1; k <= n; k++) for (j = 1; j <= n; j++) if (at[j] == k) llvm_verdicts = llvm_verdicts llvm_pair[key, j]
    split(llvm_raw[key], v, ";")
    for (k = 1; k in v; k++) {
        if (v[k] == "") continue
        split(v[k], vec, ",")
        out = ""
        for (j = 1; j <= n; j++) out = out "-"
        for (j = 1; j <= n; j++)
            if (vec[j] != "-") out = substr(out, 1, at[j] - 1) ((vec[j] == "T") != inv[j]) substr(out, at[j] + 1)
        llvm_vectors = llvm_vectors " " out "=" (((vec[n + 1] == "T") != inverted[key]) ? "T" : "F")
    }
    llvm_vectors = sorted(llvm_vectors)
    return ""
}

FNR == 1 { prog = program(FILENAME); kind = FILENAME; sub(/.*\./, "", kind) }

kind == "map" {
    split($0, f, "\t")
    key = prog ".c:" f[1]
    order[++decisions] = key
    ncond[key] = f[2]; inverted[key] = f[3]; spans[key] = f[4]; text[key] = f[5]
}

kind == "warn" && /: warning: .*MC\/DC/ {
    split($0, f, ":")
    why = $0; sub(/.*: warning: /, "", why); sub(/\. Expression will not be covered\.*$/, "", why)
    refused[prog ".c:" f[2]] = why
}

kind == "cov" && /MC\/DC Decision Region \(/ {
    split($0, f, /[(:)]/)
    key = prog ".c:" f[2]
    region[key] = 1; llvm_count[key] = 0; llvm_raw[key] = ""
}
kind == "cov" && /Condition C[0-9]+ --> \(/ {
    split($0, f, /[(:)]/)
    llvm_column[key, ++llvm_count[key]] = f[3] + 0
}
kind == "cov" && /^ *\| +[0-9]+ \{ .* = [TF] +\}/ {
    v = $0; sub(/.*\{ */, "", v); sub(/ *\}.*/, "", v); gsub(/ /, "", v); sub(/=/, ",", v)
    llvm_raw[key] = llvm_raw[key] ";" v
}
kind == "cov" && match($0, /C[0-9]+-Pair: /) {
    llvm_pair[key, substr($0, RSTART + 1, RLENGTH - 8) + 0] = /Pair: covered/ ? "+" : "-"
}

# The JSON writer puts each key on a line of its own.
kind == "json" { gsub(/^ +|,$/, "") }
kind == "json" && /^"name": / { name = $2; gsub(/"/, "", name) }
kind == "json" && /^"archive": / { file = name }
kind == "json" && /^"decision": / { want_line = 1 }
kind == "json" && want_line && /^"line": / { want_line = 0; key = file ":" $2; qor[key] = 1 }
kind == "json" && /^"vector": / { vector = $2; gsub(/"/, "", vector) }
kind == "json" && /^"outcome": / { qor_vectors[key] = qor_vectors[key] " " vector "=" ($2 == "true" ? "T" : "F") }
kind == "json" && /^"not_kept": / && $2 != 0 { qor_lost[key] = $2 }
kind == "json" && /^"unique_cause": / { want_shown = "unique" }
kind == "json" && /^"masking": / { want_shown = "masking" }
kind == "json" && want_shown != "" && /^"shown": / {
    if (want_shown == "unique") qor_verdicts[key] = qor_verdicts[key] ($2 == "true" ? "+" : "-")
    else qor_masking[key] = qor_masking[key] ($2 == "true" ? "+" : "-")
    want_shown = ""
}

function report(subject, key, lines) {
    printf "%s %s: %s\n", subject, key, text[key]
    if (qor_set == llvm_vectors) printf "%s     vectors of both: %s\n", subject, qor_set
    else printf "%s     qor_cc vectors: %s\n%s     llvm vectors:   %s\n", subject, qor_set, subject, llvm_vectors
    printf "%s", lines
}

END {
    for (d = 1; d <= decisions; d++) {
        key = order[d]
        # Neither tool measures MC/DC of one condition: its branches do.
        if (ncond[key] == 1) { single++; continue }
        if (key in refused) { printf "skip %s: clang: %s: %s\n", key, refused[key], text[key]; continue }
        why = from_llvm(key)
        if (why != "") { printf "skip %s: %s: %s\n", key, why, text[key]; continue }
        compared++
        qor_set = sorted(qor_vectors[key])
        if (!(key in qor)) { report("vectors", key, "vectors     qor_cc recorded no such decision\n"); continue }
        if (key in qor_lost) report("vectors", key, "vectors     qor_cc did not keep " qor_lost[key] " vector(s)\n")
        else if (qor_set != llvm_vectors) report("vectors", key, "")
        ref = unique_cause(qor_set, ncond[key])
        if (ref != llvm_verdicts)
            report("reference", key, "reference     unique-cause from qor_cc's vectors:" shown_list(ref) \
                   "\nreference     llvm-cov covered:" shown_list(llvm_verdicts) "\n")
        for (k = 1; k <= ncond[key]; k++)
            if (substr(qor_verdicts[key], k, 1) == "+" && substr(qor_masking[key], k, 1) != "+")
                report("masking", key, "masking     c" k " shown under unique-cause, not under masking\n")
        if (qor_verdicts[key] != llvm_verdicts)
            report("verdict", key, "verdict     qor_report unique-cause shown:" shown_list(qor_verdicts[key]) \
                   "\nverdict     llvm-cov covered:" shown_list(llvm_verdicts) "\n")
    }
    print "compared", compared + 0
    print "single", single + 0
}

# instrument.tcl: writes the coverage run-time header of one instrumented
# source file.
#
# qor_cc sources this script in a fresh interpreter for every file that it
# instruments, sets the globals
#   qvx_header  full path of the header to write (the instrumented file
#               includes it by its base name, first thing)
#   qvx_date    the source's date text (linked; left unchanged here)
#   qvx_func    one element per instrumented function, in file order:
#               {full_name number branch_count call_count callee_count
#                mcdc_count mcdc_vectors max_conditions max_index}
# and, once the instrumented file is complete, runs Instrument.
#
# The header defines the probe macros of the instrumented file and a
# run-time that keeps one counter per probe, and a table of the evaluated
# condition vectors per decision, in static storage of the translation
# unit that is mapped to a file while the program runs, and appends the
# unit's counts to the coverage-data file when the program exits. It includes no system header: the instrumented
# file is preprocessed text that already holds the declarations of the
# headers it uses, and a second definition of their structures would not
# compile. The few C library functions the run-time calls are declared
# under run-time names bound to the library's link names, so they never
# meet the program's own declarations.

namespace eval qvx {
    # The C library functions the run-time calls (see the declarations in
    # runtime_text). A static function of the file with one of these names
    # would take the library's place in the object file of some compilers,
    # so such a function is renamed in the unit (see rename_text).
    variable library_names {
        getenv getcwd flock getpid pthread_atfork open close ftruncate pwrite
        mmap mremap munmap unlink getpagesize memcpy memcmp lseek
    }
}

proc Instrument {} {
    global qvx_header qvx_func
    if {![info exists qvx_header] || $qvx_header eq ""} {
        error "qvx_header is not set"
    }
    if {![info exists qvx_func]} {
        error "qvx_func is not set"
    }
    set date [expr {[info exists ::qvx_date] ? $::qvx_date : ""}]
    set functions [qvx::parse_functions $qvx_func]
    set text [qvx::header_text [file normalize $qvx_header] $date $functions]
    qvx::replace_file $qvx_header $text
}

# parse_functions: checks the qvx_func value and returns one dict per
# function (name, number, branches, calls, max_conditions, max_index).
proc qvx::parse_functions {value} {
    if {[catch {llength $value}]} {
        error "qvx_func is not a list"
    }
    set result {}
    set seen [dict create]
    set decision_owner [dict create]
    set position 0
    foreach item $value {
        incr position
        if {[catch {llength $item} size] || $size != 9} {
            error "qvx_func element $position is not a list of 9 elements: $item"
        }
        lassign $item name number branches calls callees mcdc_count vectors \
            max_conditions max_index
        if {$name eq ""} {
            error "qvx_func element $position: empty function name"
        }
        foreach field {number branches calls callees mcdc_count max_conditions max_index} {
            set v [set $field]
            if {![regexp {^[0-9]{1,9}$} $v]} {
                error "qvx_func element $position ($name): $field \"$v\" is not a count"
            }
            # Decimal, never octal: "010" is ten.
            set $field [scan $v %d]
        }
        if {$number < 1} {
            error "qvx_func element $position ($name): function number 0"
        }
        if {[dict exists $seen $number]} {
            error "qvx_func element $position ($name): function number $number\
                   is also [dict get $seen $number]'s"
        }
        if {[catch {llength $vectors} size] || $size != $mcdc_count} {
            error "qvx_func element $position ($name): the vector list is not\
                   a list of $mcdc_count records"
        }
        dict set seen $number $name
        lappend result [dict create name $name number $number \
            branches $branches calls $calls \
            max_conditions $max_conditions max_index $max_index \
            decisions [parse_vectors $vectors "element $position ($name)" \
                           $number decision_owner]]
    }
    return $result
}

# parse_vectors: checks the vector records of function NUMBER (WHERE
# names it in messages) and returns a dict from each decision number to
# {conditions C vectors V}: its number of conditions and the distinct
# vectors that the analysis computed for it, each as its outcome followed
# by its text ("110" for the true vector 10). OWNERS (a caller's
# variable) maps the decision numbers met so far to their function, since
# a decision belongs to one function only.
proc qvx::parse_vectors {records where number owners} {
    upvar 1 $owners owner
    set decisions [dict create]
    set position -1
    foreach record $records {
        incr position
        set what "$where, vector record $position"
        if {[catch {llength $record} size] || $size != 6} {
            error "qvx_func $what is not a list of 6 elements: $record"
        }
        lassign $record index line decision conditions outcome text
        foreach field {index line decision conditions} {
            set v [set $field]
            if {![regexp {^[0-9]{1,9}$} $v]} {
                error "qvx_func $what: $field \"$v\" is not a count"
            }
            set $field [scan $v %d]
        }
        if {$decision < 1 || $conditions < 1} {
            error "qvx_func $what: decision $decision with $conditions conditions"
        }
        if {$outcome ni {0 1}} {
            error "qvx_func $what: outcome \"$outcome\" is neither 0 nor 1"
        }
        if {![regexp {^[01-]+$} $text] || [string length $text] != $conditions} {
            error "qvx_func $what: \"$text\" is not a vector of $conditions conditions"
        }
        if {[dict exists $owner $decision] && [dict get $owner $decision] != $number} {
            error "qvx_func $what: decision $decision is also function\
                   [dict get $owner $decision]'s"
        }
        dict set owner $decision $number
        if {[dict exists $decisions $decision]} {
            if {[dict get $decisions $decision conditions] != $conditions} {
                error "qvx_func $what: decision $decision has\
                       [dict get $decisions $decision conditions] conditions, not $conditions"
            }
            set vectors [dict get $decisions $decision vectors]
            if {"$outcome$text" ni $vectors} {
                dict set decisions $decision vectors [linsert $vectors end $outcome$text]
            }
        } else {
            dict set decisions $decision \
                [dict create conditions $conditions vectors [list $outcome$text]]
        }
    }
    return $decisions
}

# data_text: TEXT as it appears in the coverage-data file: a backslash is
# doubled and every control character becomes a backslash and three octal
# digits, so that a name never breaks a line. Other characters are kept
# (UTF-8 in the file).
proc qvx::data_text {text} {
    set out ""
    foreach char [split $text ""] {
        scan $char %c code
        if {$char eq "\\"} {
            append out "\\\\"
        } elseif {$code < 32 || $code == 127} {
            append out [format "\\%03o" $code]
        } else {
            append out $char
        }
    }
    return $out
}

# c_string: a C string literal holding the UTF-8 bytes of TEXT. Anything
# but plain printable ASCII, and the quote, backslash and question mark
# (trigraphs), is written as a three-digit octal escape.
proc qvx::c_string {text} {
    set out \"
    foreach byte [split [encoding convertto utf-8 $text] ""] {
        scan $byte %c code
        if {$code >= 32 && $code < 127 && $byte ni {\" \\ ?}} {
            append out $byte
        } else {
            append out [format "\\%03o" $code]
        }
    }
    return "$out\""
}

# initializer: a C initializer of the array elements VALUES; {0} for none.
proc qvx::initializer {values} {
    if {[llength $values] == 0} {
        return "{0}"
    }
    return "{[join $values ,]}"
}

# path_table: the numbering of the evaluation paths of a decision of
# CONDITIONS conditions whose paths are VECTORS (the analysis's, each its
# outcome and its text, "110" for the true vector 10), or "" when they
# do not make a table. Short-circuit evaluation goes from each condition
# and value to one next condition or to the outcome, whatever came
# before: the paths form a graph without cycles, and numbering the paths
# of each condition's false value before those of its true value (the
# true value adds the number of paths after the false one) gives each
# path a number from 0 to P - 1. Returns {STEPS TEXTS}: per condition the
# constants of its false and true value, and per path number its vector.
# Vectors that do not form such a graph (a condition reached from two
# places, a value without a successor), or more than 1024 paths, make no
# table.
proc qvx::path_table {conditions vectors} {
    set next [dict create]
    set first ""
    foreach vector $vectors {
        set outcome [string index $vector 0]
        set text [string range $vector 1 end]
        set evaluated {}
        for {set k 0} {$k < $conditions} {incr k} {
            if {[string index $text $k] ne "-"} {
                lappend evaluated $k
            }
        }
        if {[llength $evaluated] == 0} {
            return ""
        }
        if {$first eq ""} {
            set first [lindex $evaluated 0]
        } elseif {$first != [lindex $evaluated 0]} {
            return ""
        }
        foreach k $evaluated after [lrange $evaluated 1 end] {
            set to [expr {$after eq "" ? "=$outcome" : $after}]
            set edge "$k [string index $text $k]"
            if {[dict exists $next $edge] && [dict get $next $edge] ne $to} {
                return ""
            }
            dict set next $edge $to
        }
    }
    # The paths from each condition, the later ones first: a condition
    # only goes on to later ones.
    set paths [dict create =0 1 =1 1]
    set steps {}
    for {set k [expr {$conditions - 1}]} {$k >= 0} {incr k -1} {
        if {![dict exists $next "$k 0"] || ![dict exists $next "$k 1"]} {
            if {[dict exists $next "$k 0"] || [dict exists $next "$k 1"]} {
                return ""
            }
            set steps [linsert $steps 0 0 0]
            continue
        }
        set false_paths [dict get $paths [dict get $next "$k 0"]]
        dict set paths $k [expr {$false_paths + [dict get $paths [dict get $next "$k 1"]]}]
        set steps [linsert $steps 0 0 $false_paths]
    }
    set count [dict get $paths $first]
    if {$count > 1024 || $count != [llength $vectors]} {
        return ""
    }
    set texts [lrepeat $count ""]
    foreach vector $vectors {
        set number 0
        set text [string range $vector 1 end]
        for {set k 0} {$k < $conditions} {incr k} {
            set value [string index $text $k]
            if {$value ne "-"} {
                incr number [lindex $steps [expr {2 * $k + $value}]]
            }
        }
        if {[lindex $texts $number] ne ""} {
            return ""
        }
        lset texts $number $vector
    }
    return [list $steps $texts]
}

# decision_shape: how the run-time counts a decision of CONDITIONS
# conditions whose paths are VECTORS (see path_table), as a dict:
#   known   the vectors of its first slots, in slot order
#   spare   the slots for vectors the analysis did not foresee
#   paths   the number of paths of its table, 0 without one
#   poison  the word of the path that a condition beyond the count marks
#   words   per condition and one more, the word it adds to
#   steps   per condition and one more, the constants of false and true
# With a table the path's first word is its number, and every slot is a
# path. Without one each condition adds 1 (false) or 2 (true) in its two
# bits of the path (32 conditions a word), the vectors of the analysis,
# at most 256, take the first slots and C + 1 more keep the vectors met
# that it did not foresee.
proc qvx::decision_shape {conditions vectors} {
    set table [path_table $conditions $vectors]
    if {$table ne ""} {
        lassign $table steps known
        return [dict create known $known spare 0 paths [llength $known] poison 1 \
            words [concat [lrepeat $conditions 0] 1] steps [concat $steps 1 1]]
    }
    set words {}
    set steps {}
    for {set k 0} {$k < $conditions} {incr k} {
        lappend words [expr {$k / 32}]
        set shift [expr {2 * ($k % 32)}]
        lappend steps "(qvx_path_word_)1 << $shift" "(qvx_path_word_)2 << $shift"
    }
    set poison [expr {($conditions + 31) / 32}]
    return [dict create known [lrange $vectors 0 255] spare [expr {$conditions + 1}] \
        paths 0 poison $poison words [concat $words $poison] steps [concat $steps 1 1]]
}

proc qvx::header_text {header date functions} {
    set text [probes_text $functions]
    if {[llength $functions] > 0} {
        append text [counters_text $header $date $functions]
        append text [runtime_text]
        append text [rename_text $functions]
    }
    append text "\n#endif\n"
    return $text
}

# probes_text: the macros that the instrumented file calls. Every probe
# adds 1 to one counter of its function N, at an index that the compiler
# knows, so that it compiles to one increment. In a unit compiled for
# threads (-pthread or -fopenmp, which define _REENTRANT or _OPENMP, or
# with QOR_ATOMIC_COUNTS defined) the increment is a relaxed atomic one,
# which keeps counts exact and costs one locked add; elsewhere it is a
# plain one, which two threads that meet may count once. A probe number
# outside the function's counters counts nothing. Function entry, exit
# and branch probes stand where C needs one statement and expand to
# exactly one expression statement; the call probe is an expression. The
# function name argument is not used: N identifies the function.
proc qvx::probes_text {functions} {
    set text {/* Coverage probes and run-time of one instrumented file, written by
   instrument.tcl. Included once, at the top of the instrumented file. */
#ifndef QVX_RUNTIME_H
#define QVX_RUNTIME_H 1

#if defined(_REENTRANT) || defined(_OPENMP) || defined(QOR_ATOMIC_COUNTS)
#define QVX_ADD_(c) ((void)__atomic_fetch_add(&(c), 1, __ATOMIC_RELAXED))
#else
#define QVX_ADD_(c) ((void)++(c))
#endif
#define QVX_SLOTS_(a) (sizeof (a) / sizeof (a)[0])
#define QVX_INDEX_(a, i) ((unsigned long)(i) < QVX_SLOTS_(a) ? (unsigned long)(i) : 0)
#define QVX_BUMP_(a, i) ((unsigned long)(i) < QVX_SLOTS_(a) ? QVX_ADD_((a)[QVX_INDEX_(a, i)]) : (void)0)
#define QVX_CD1(f, n) QVX_BUMP_(qvx_ends_##n, 0);
#define QVX_CDF(f, n) QVX_BUMP_(qvx_ends_##n, 1);
#define QVX_CDX(f, n, b) QVX_BUMP_(qvx_branches_##n, b);
#define QVX_CALL(f, n, c, k, m) (void)QVX_BUMP_(qvx_calls_##n, c)

/* Condition coverage. Each evaluation of a rewritten decision follows
   one of its paths: the conditions it evaluates, in order, with their
   values. A rewritten decision is a statement expression that declares
   its path, qvx_mp<i>_, in automatic storage; each condition, once
   evaluated, adds the constant of its value to one word of it, and the
   decision's end counts the path (see QVX_MCDC_COUNT_). The decision's
   shape, qvx_ms<i>_, holds the constants: with a table, the paths are
   numbered 0 to P - 1 and the end adds 1 to the path's counter; else
   each condition has two bits of the path and the end looks the vector
   up among those met before. A condition numbered beyond the decision's
   count marks the shape's last word. The compiler knows the decision's
   number, the condition's and its shape, so at -O1 and above a
   condition's probe is one addition of a constant and a table's end one
   increment. Each QVX_EVAL_0 refers to the innermost path of its
   decision index, so recursive activations, threads and decisions nested
   in a condition (also under the same index) each follow their own, and
   QVX_MCDC_DEF_0 has nothing to declare. A condition is evaluated once
   and yields 0 or 1; the decision yields its outcome, 0 or 1, straight
   from the expression (so that the compiler follows the values as in the
   source) and as a comparison, which converts to any integer type
   without a warning. */
#define QVX_MCDC_DEF_0(nesting, size)
/* The expression and the condition are the last arguments and may hold
   commas that no parenthesis protects (a compound literal's braces). */
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wvariadic-macros"
#define QVX_CM_0(i, f, n, l, t, c, d, ...) (__extension__ ({ \
  qvx_path_word_ qvx_mp##i##_[QVX_PATH_WORDS_] = {0}; \
  const struct qvx_shape_ *const qvx_ms##i##_ = QVX_SHAPE_(d, n); \
  int qvx_mo##i##_ = (__VA_ARGS__) ? 1 : 0; \
  QVX_MCDC_COUNT_(qvx_ms##i##_, qvx_mp##i##_, c, qvx_mo##i##_); \
  qvx_mo##i##_; }) != 0)
#define QVX_EVAL_0(i, k, ...) ((__VA_ARGS__) \
  ? QVX_STEP_(qvx_mp##i##_, qvx_ms##i##_, k, 1) : QVX_STEP_(qvx_mp##i##_, qvx_ms##i##_, k, 0))
#pragma GCC diagnostic pop
#define QVX_CONDITION_(s, k) \
  ((unsigned long)(k) < (s)->conditions ? (unsigned long)(k) : (s)->conditions)
#define QVX_STEP_(p, s, k, value) \
  ((p)[(s)->words[QVX_CONDITION_(s, k)]] += (s)->steps[2 * QVX_CONDITION_(s, k) + (value)], (value))
/* The shape of decision D of function N; a decision that the unit does
   not list under this number and function counts nothing. Macros, not
   functions, so that an unoptimized build makes no call either. */
#define QVX_SHAPE_INDEX_(d) ((unsigned long)(d) - QVX_FIRST_DECISION_)
#define QVX_SHAPE_(d, n) \
  (QVX_SHAPE_INDEX_(d) < QVX_DECISIONS_ && (n) != 0 \
   && qvx_shapes_[QVX_SHAPE_INDEX_(d)].function == (unsigned long)(n) \
   ? &qvx_shapes_[QVX_SHAPE_INDEX_(d)] : &qvx_no_shape_)
/* Counts one evaluation of the decision of shape S, which followed path
   P to OUTCOME, in code that numbered C conditions. A path that a
   condition beyond the count marked, or code of another count, counts as
   not kept (overflow). */
#define QVX_MCDC_COUNT_(s, p, c, outcome) \
  ((s)->function == 0 ? (void)0 \
   : (unsigned long)(c) != (s)->conditions || (p)[(s)->poison] \
       || ((s)->paths && (p)[0] >= (s)->paths) ? QVX_ADD_((s)->decision->state[0]) \
   : (s)->paths ? QVX_ADD_((s)->counts[(p)[0]]) \
   : qvx_mcdc_search_(s, p, outcome))
}
    foreach function $functions {
        dict with function {
            append text "#define QVX_CM_NEST_COMP$number $max_index\n"
            append text "#define QVX_SZ_VECT_COMP$number $max_conditions\n"
        }
    }
    return $text
}

# counters_text: the counters of every function, the tables of its
# decisions, the table that the run-time walks and the layout of the
# unit's block. Per function N: qvx_ends_N
# (entries, exits), qvx_branches_N (branch 0 .. branch count) and
# qvx_calls_N (call 1 .. call count, slot 0 unused).
proc qvx::counters_text {header date functions} {
    set unit "H [data_text $header]\nD [data_text $date]\n"
    set text "\n"
    set rows {}
    set unit_decisions [dict create]
    # The words of a decision's path: its own and the one that a
    # condition beyond its count marks.
    set path_words 2
    # The unit's counters and evaluated vectors, which the run-time maps
    # to its section of the live file: the fields of qvx_block_, counters
    # first (the first one counts the runs added to the data file, see
    # qvx_add_block_), in the order of the layout lines.
    set count_fields {added}
    set count_values {0}
    set byte_fields {}
    set byte_values {}
    set layout ""
    foreach function $functions {
        dict with function {
            set data_name [data_text $name]
            lappend count_fields "ends_$number\[2\]" "branches_$number\[[expr {$branches + 1}]\]" \
                "calls_$number\[[expr {$calls + 1}]\]"
            lappend count_values {{0}} {{0}} {{0}}
            foreach field {ends branches calls} {
                append text "#define qvx_${field}_$number (qvx_block_.fields.${field}_$number)\n"
            }
            append layout "F $number [expr {$branches + 1}] [expr {$calls + 1}] $data_name\n"
            lappend rows "  \{[c_string $data_name], \"$number\", $number, qvx_ends_$number,\
                qvx_branches_$number, $branches + 1, qvx_calls_$number, $calls + 1\}"
            dict for {d decision} $decisions {
                set c [dict get $decision conditions]
                set shape [decision_shape $c [dict get $decision vectors]]
                set known [dict get $shape known]
                set slots [expr {[llength $known] + [dict get $shape spare]}]
                dict set unit_decisions $d [dict merge $shape \
                    [dict create function $number conditions $c slots $slots]]
                if {[dict get $shape poison] >= $path_words} {
                    set path_words [expr {[dict get $shape poison] + 1}]
                }
                # Characters, not a string: a long literal is beyond what
                # C90 promises.
                set characters [lmap char [split [join $known ""] ""] {string cat ' $char '}]
                lappend count_fields "mcdc_counts_$d\[$slots\]" "mcdc_state_$d\[2\]"
                lappend count_values {{0}} "{0, [llength $known]}"
                lappend byte_fields "unsigned char mcdc_ready_$d\[$slots\]" \
                    "char mcdc_vectors_$d\[$slots * [expr {$c + 1}]\]"
                lappend byte_values [initializer [lrepeat [llength $known] 1]] [initializer $characters]
                foreach field {counts state ready vectors} {
                    append text "#define qvx_mcdc_${field}_$d (qvx_block_.fields.mcdc_${field}_$d)\n"
                }
                append layout "M $d $c $slots\n"
                append text "static const unsigned char qvx_mcdc_words_$d\[[expr {$c + 1}]\] =\
                    \{[join [dict get $shape words] ,]\};\
                    static const qvx_path_word_ qvx_mcdc_steps_$d\[[expr {2 * $c + 2}]\] =\
                    \{[join [dict get $shape steps] ,]\};\n"
            }
        }
    }
    # The decisions, indexed by their number from the smallest; a number
    # that no decision of the unit has is a row of function 0.
    set decision_rows {}
    set shape_rows {}
    set first 0
    set no_shape "0, 0, 0, 0, qvx_no_words_, qvx_no_steps_, 0, 0"
    if {[dict size $unit_decisions] > 0} {
        set numbers [lsort -integer [dict keys $unit_decisions]]
        set first [lindex $numbers 0]
        for {set d $first} {$d <= [lindex $numbers end]} {incr d} {
            if {[dict exists $unit_decisions $d]} {
                dict with unit_decisions $d {
                    set kept [llength $known]
                    lappend decision_rows "  \{$function, $conditions, $slots, $kept, $d,\
                        qvx_mcdc_counts_$d, qvx_mcdc_state_$d, qvx_mcdc_ready_$d,\
                        qvx_mcdc_vectors_$d\}"
                    lappend shape_rows "  \{$function, $conditions, $paths, $poison,\
                        qvx_mcdc_words_$d, qvx_mcdc_steps_$d, qvx_mcdc_counts_$d,\
                        &qvx_decisions_\[[expr {$d - $first}]\]\}"
                }
            } else {
                lappend decision_rows "  \{0, 0, 0, 0, $d, 0, 0, 0, 0\}"
                lappend shape_rows "  \{$no_shape\}"
            }
        }
    } else {
        lappend decision_rows "  \{0, 0, 0, 0, 0, 0, 0, 0, 0\}"
        lappend shape_rows "  \{$no_shape\}"
    }
    set text "
/* Counters. 64 bits where the target adds them without a lock, else the
   width of a long. */
#if defined(__GCC_ATOMIC_LLONG_LOCK_FREE) && __GCC_ATOMIC_LLONG_LOCK_FREE == 2
__extension__ typedef unsigned long long qvx_count_;
#else
typedef unsigned long qvx_count_;
#endif
/* A decision's path in progress: its number, or two bits per condition. */
__extension__ typedef unsigned long long qvx_path_word_;
#define QVX_PATH_WORDS_ $path_words

/* The unit's counters and the vectors its decisions met, in one block of
   whole pages that the run-time maps to the unit's section of the
   process's live file (see qvx_map_live_), so that they reach the file
   however the process ends. */
#define QVX_PAGE_ 4096
struct qvx_fields_ {
  qvx_count_ [join $count_fields ",\n    "];
[join [lmap field $byte_fields {string cat "  $field;"}] "\n"]
};
static union qvx_block_ {
  struct qvx_fields_ fields;
  unsigned char pages\[(sizeof (struct qvx_fields_) + QVX_PAGE_ - 1) / QVX_PAGE_ * QVX_PAGE_\];
} qvx_block_ __attribute__((aligned(QVX_PAGE_))) = {{
  [join [concat $count_values $byte_values] ",\n  "]
}};
$text
struct qvx_function_ {
  const char *name;
  const char *number;
  unsigned long id;
  qvx_count_ *ends;
  qvx_count_ *branches;
  unsigned long branch_slots;
  qvx_count_ *calls;
  unsigned long call_slots;
};
static const struct qvx_function_ qvx_functions_\[\] = {
[join $rows ",\n"]
};

/* The distinct vectors of one decision, each in a slot of 1 + conditions
   characters: the outcome, then the conditions. The first slots hold the
   vectors that the analysis computed; the others are taken by the
   vectors it did not foresee. A slot counts once it is ready;
   evaluations that find no free slot count as overflow. The state holds
   the overflow count and the number of slots taken. */
struct qvx_decision_ {
  unsigned long function;
  unsigned long conditions;
  unsigned long slots;
  unsigned long known;
  unsigned long number;
  qvx_count_ *counts;
  qvx_count_ *state;
  unsigned char *ready;
  char *vectors;
};
static const struct qvx_decision_ qvx_decisions_\[\] = {
[join $decision_rows ",\n"]
};

/* How the conditions of a decision make its path (see QVX_CM_0): per
   condition and one more (a condition beyond the count), the word of the
   path it adds to and the constants of its values; with a table, the
   number of paths, whose counters are the decision's (here too, so that
   their address is a constant). Indexed as qvx_decisions_. */
struct qvx_shape_ {
  unsigned long function;
  unsigned long conditions;
  unsigned long paths;
  unsigned long poison;
  const unsigned char *words;
  const qvx_path_word_ *steps;
  qvx_count_ *counts;
  const struct qvx_decision_ *decision;
};
static const unsigned char qvx_no_words_\[1\] = {0};
static const qvx_path_word_ qvx_no_steps_\[2\] = {1, 1};
static const struct qvx_shape_ qvx_shapes_\[\] = {
[join $shape_rows ",\n"]
};
/* The shape of a decision that the unit does not list: it counts nothing. */
static const struct qvx_shape_ qvx_no_shape_ = {$no_shape};
#define QVX_FIRST_DECISION_ ${first}UL
/* The unit's sections of the live file and of the data file after their
   first lines: the layout of its block. */
static const char qvx_layout_\[\] = [c_string "$unit${layout}END\n"];
/* Without QOR_COVERAGE_FILE the data goes beside the unit's header, in
   the build's directory, not where the program happens to run. */
static const char qvx_default_file_\[\] = [c_string "[file dirname $header]/qor_coverage.dat"];
"
    return $text
}

# runtime_text: the run-time proper. A decision's evaluation is counted
# in its table (see QVX_MCDC_COUNT_). At start-up (before main) it fixes
# the data file's path: $QOR_COVERAGE_FILE (a relative name taken from
# the working directory of that moment so that a later chdir does not move
# the data; %p in it stands for the process number), else
# qor_coverage.dat beside the unit's header, and maps the unit's block to
# a section of the process's live file beside it. At exit it adds the
# unit's counts to the unit's section of the data file of the test label
# (qvx_merge_), under an exclusive flock; a unit where no probe ran adds
# nothing. A forked child maps a section of its own and starts from zero
# counts, so that parent and child together count every probe once.
# errno is saved and restored around all of it. Counts that cannot be
# added stay in the live file.
proc qvx::runtime_text {} {
    return {
/* C library entry points, declared under run-time names bound to their
   link names. */
extern char *qvx_getenv_(const char *) __asm__("getenv");
extern char *qvx_getcwd_(char *, __SIZE_TYPE__) __asm__("getcwd");
extern int qvx_flock_(int, int) __asm__("flock");
extern int qvx_getpid_(void) __asm__("getpid");
extern int *qvx_errno_(void) __asm__("__errno_location");
extern int qvx_atfork_(void (*)(void), void (*)(void), void (*)(void))
  __asm__("pthread_atfork");
extern int qvx_open_(const char *, int, ...) __asm__("open");
extern int qvx_close_(int) __asm__("close");
extern int qvx_ftruncate_(int, long) __asm__("ftruncate");
extern __PTRDIFF_TYPE__ qvx_pwrite_(int, const void *, __SIZE_TYPE__, long) __asm__("pwrite");
extern void *qvx_mmap_(void *, __SIZE_TYPE__, int, int, int, long) __asm__("mmap");
extern void *qvx_mremap_(void *, __SIZE_TYPE__, __SIZE_TYPE__, int, ...) __asm__("mremap");
extern int qvx_munmap_(void *, __SIZE_TYPE__) __asm__("munmap");
extern int qvx_unlink_(const char *) __asm__("unlink");
extern int qvx_getpagesize_(void) __asm__("getpagesize");
extern long qvx_lseek_(int, long, int) __asm__("lseek");

#define QVX_FUNCTIONS_ (sizeof qvx_functions_ / sizeof qvx_functions_[0])

/* The functions that run once, at start-up and at exit, gcc compiles
   without optimizing them: optimizing them took most of the time that a
   unit's compile spends on the run-time. */
#if defined(__GNUC__) && !defined(__clang__)
#define QVX_ONCE_ __attribute__((cold, optimize("O0")))
#else
#define QVX_ONCE_ __attribute__((cold))
#endif
#define QVX_DECISIONS_ (sizeof qvx_decisions_ / sizeof qvx_decisions_[0])

/* The data file's path; empty when there is none. */
static char qvx_path_[4096];

/* qvx_decimal_: VALUE in decimal, written at the end of DIGITS. */
QVX_ONCE_ static const char *qvx_decimal_(char digits[24], qvx_count_ value)
{
  char *d = digits + 24;
  *--d = 0;
  do {
    *--d = (char)('0' + (int)(value % 10));
    value /= 10;
  } while (value);
  return d;
}

/* qvx_cat_: appends TEXT to the string in TO (SIZE bytes); 0 when it
   does not fit. */
QVX_ONCE_ static int qvx_cat_(char *to, unsigned long size, const char *text)
{
  unsigned long n = 0;
  while (to[n])
    n++;
  for (; *text; text++) {
    if (n + 1 >= size)
      return 0;
    to[n++] = *text;
  }
  to[n] = 0;
  return 1;
}

QVX_ONCE_ static qvx_count_ qvx_read_(qvx_count_ *counter)
{
  return __atomic_load_n(counter, __ATOMIC_RELAXED);
}

/* Condition coverage: the work of QVX_CM_0. */

/* qvx_value_: condition K of PATH, as a vector shows it. */
__attribute__((unused)) static char qvx_value_(const qvx_path_word_ *path, unsigned long k)
{
  return "-01-"[(path[k / 32] >> (2 * (k % 32))) & 3];
}

/* qvx_mcdc_search_: counts PATH with OUTCOME in the slots of a decision
   without a table. The slots take no lock, so that a signal handler can
   evaluate decisions too: a new vector claims the next free slot with a
   compare-and-swap and makes it ready once written. Two threads meeting
   the same new vector at once may take a slot each; the data file adds
   them up. */
__attribute__((unused)) static void qvx_mcdc_search_(const struct qvx_shape_ *shape, const qvx_path_word_ *path, int outcome)
{
  const struct qvx_decision_ *decision = shape->decision;
  unsigned long width = shape->conditions + 1, i, k;
  qvx_count_ used;
  char first = outcome ? '1' : '0';
  used = __atomic_load_n(&decision->state[1], __ATOMIC_ACQUIRE);
  for (i = 0; i < used; i++) {
    const char *slot = decision->vectors + i * width;
    if (!__atomic_load_n(&decision->ready[i], __ATOMIC_ACQUIRE) || slot[0] != first)
      continue;
    for (k = 0; k < shape->conditions && slot[k + 1] == qvx_value_(path, k); k++)
      ;
    if (k == shape->conditions) {
      __atomic_fetch_add(&decision->counts[i], 1, __ATOMIC_RELAXED);
      return;
    }
  }
  do {
    if (used >= decision->slots) {
      __atomic_fetch_add(&decision->state[0], 1, __ATOMIC_RELAXED);
      return;
    }
  } while (!__atomic_compare_exchange_n(&decision->state[1], &used, used + 1, 0,
                                        __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE));
  decision->vectors[used * width] = first;
  for (k = 0; k < shape->conditions; k++)
    decision->vectors[used * width + k + 1] = qvx_value_(path, k);
  __atomic_store_n(&decision->counts[used], 1, __ATOMIC_RELAXED);
  __atomic_store_n(&decision->ready[used], 1, __ATOMIC_RELEASE);
}

QVX_ONCE_ static int qvx_anything_ran_(void)
{
  unsigned long f, i;
  for (f = 0; f < QVX_DECISIONS_; f++) {
    const struct qvx_decision_ *decision = &qvx_decisions_[f];
    if (!decision->function)
      continue;
    if (qvx_read_(&decision->state[0]))
      return 1;
    for (i = 0; i < decision->slots; i++)
      if (qvx_read_(&decision->counts[i]))
        return 1;
  }
  for (f = 0; f < QVX_FUNCTIONS_; f++) {
    const struct qvx_function_ *fn = &qvx_functions_[f];
    if (qvx_read_(&fn->ends[0]) || qvx_read_(&fn->ends[1]))
      return 1;
    for (i = 0; i < fn->branch_slots; i++)
      if (qvx_read_(&fn->branches[i]))
        return 1;
    for (i = 1; i < fn->call_slots; i++)
      if (qvx_read_(&fn->calls[i]))
        return 1;
  }
  return 0;
}

/* qvx_file_name_: the data file's name in NAME (SIZE bytes): qvx_path_
   with each %p replaced by the number of the process that writes, so
   that a forked child and the processes of a parallel test run can each
   have a file; 0 when it does not fit. */
QVX_ONCE_ static int qvx_file_name_(char *name, unsigned long size)
{
  char digits[24];
  const char *d = qvx_decimal_(digits, (qvx_count_)qvx_getpid_());
  unsigned long n = 0, i, k;
  for (i = 0; qvx_path_[i]; i++) {
    if (qvx_path_[i] == '%' && qvx_path_[i + 1] == 'p') {
      for (k = 0; d[k]; k++) {
        if (n + 1 >= size)
          return 0;
        name[n++] = d[k];
      }
      i++;
    } else {
      if (n + 1 >= size)
        return 0;
      name[n++] = qvx_path_[i];
    }
  }
  name[n] = 0;
  return 1;
}

/* The place in BLOCK, a copy of qvx_block_, of P, a place in qvx_block_. */
#define QVX_IN_(block, p) \
  ((__typeof__(p))((char *)(block) + ((const char *)(p) - (const char *)&qvx_block_)))

/* qvx_forget_: sets the counts in BLOCK (qvx_block_ or a copy of it) back
   to zero, and the decisions' slots back to the vectors of the analysis. */
QVX_ONCE_ static void qvx_forget_(void *block)
{
  unsigned long f, i;
  for (f = 0; f < QVX_FUNCTIONS_; f++) {
    const struct qvx_function_ *fn = &qvx_functions_[f];
    qvx_count_ *ends = QVX_IN_(block, fn->ends), *branches = QVX_IN_(block, fn->branches),
      *calls = QVX_IN_(block, fn->calls);
    ends[0] = ends[1] = 0;
    for (i = 0; i < fn->branch_slots; i++)
      branches[i] = 0;
    for (i = 0; i < fn->call_slots; i++)
      calls[i] = 0;
  }
  for (f = 0; f < QVX_DECISIONS_; f++) {
    const struct qvx_decision_ *decision = &qvx_decisions_[f];
    qvx_count_ *counts = QVX_IN_(block, decision->counts), *state = QVX_IN_(block, decision->state);
    unsigned char *ready = QVX_IN_(block, decision->ready);
    if (!decision->function)
      continue;
    for (i = 0; i < decision->slots; i++) {
      counts[i] = 0;
      if (i >= decision->known)
        ready[i] = 0;
    }
    state[0] = 0;
    state[1] = decision->known;
  }
  QVX_IN_(block, &qvx_block_.fields)->added = 0;
}

/* The live file: the blocks of the process's units, mapped, so that
   their counts reach the file however the process ends (exit, _exit,
   abort, a signal, exec). Named as the data file with .<pid>-<table>.qvl
   added, where <table> is the address of the table of live files below
   (which a program and a shared library that do not share symbols each
   have), it is a sequence of sections, one per unit, each at a multiple of 4096
   bytes: the line "QVX-LIVE 1 <pid> <bytes of a count> <offset of the
   block in the section> <bytes of the block>", the unit's H and D lines,
   a line per function "F <number> <branch slots> <call slots> <name>"
   and after it one per decision "M <decision> <conditions> <slots>",
   END; then the block. The block holds the counters: first 1 once they
   were added to the data file (0 before), then in the order of those
   lines (per function entries and exits, branches,
   calls; per decision its slots' counts, its overflow count and the
   number of slots taken), then per decision the slots' ready flags and
   their vectors. A program that execs appends the new image's sections
   after the old one's. At normal end each unit adds its counts to the
   data file, and once all units of the live file have, the file is
   removed: one that remains holds the counts of a process that ended
   otherwise. Only on Linux targets, whose flag values are written here
   (for the data file too). */
#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__) || defined(__aarch64__) \
                           || defined(__arm__) || defined(__riscv))
#define QVX_MAPPED_ 1
#else
#define QVX_MAPPED_ 0
#endif
#define QVX_O_LIVE_ (02 | 0100 | 02000000) /* O_RDWR|O_CREAT|O_CLOEXEC */
#define QVX_NO_MAP_ ((void *)-1)

/* The live files of the process, shared by its units through a weak
   definition in each that the linker makes one: per file (by a hash of
   its name) its units' sections not yet finished, and whether it must
   stay (it held sections of an earlier image, or a unit's counts could
   not be added to the data file). A row of another process (a forked parent's) is
   free; without a free row the file stays. */
struct qvx_live_row_ {
  unsigned long hash;
  long pid;
  long sections;
  long keep;
};
__attribute__((weak)) struct qvx_live_row_ qvx_live_rows_[8] = {{0, 0, 0, 0}};

/* The live file's name; empty while the block is in memory only. */
static char qvx_live_[sizeof qvx_path_ + 48];
/* Its row; 0 when it has none. */
static struct qvx_live_row_ *qvx_live_row_;

/* qvx_live_row_of_: the row of the live file NAME of this process, taken
   for it when it has none (EMPTY: the file was empty before the unit's
   section); 0 without a free row. */
QVX_ONCE_ static struct qvx_live_row_ *qvx_live_row_of_(const char *name, int empty)
{
  unsigned long hash = 2166136261UL, i;
  long pid = qvx_getpid_();
  for (; *name; name++)
    hash = (hash ^ (unsigned char)*name) * 16777619UL;
  for (i = 0; i < 8; i++)
    if (qvx_live_rows_[i].pid == pid && qvx_live_rows_[i].hash == hash)
      return &qvx_live_rows_[i];
  for (i = 0; i < 8; i++) {
    if (qvx_live_rows_[i].pid != pid) {
      qvx_live_rows_[i].hash = hash;
      qvx_live_rows_[i].pid = pid;
      qvx_live_rows_[i].sections = 0;
      qvx_live_rows_[i].keep = !empty;
      return &qvx_live_rows_[i];
    }
  }
  return 0;
}

/* qvx_move_block_: gives the block the pages AT, a new mapping of its
   size: they take its content (without the counts, in a forked child)
   and then its place, at once. 0 when they could not, AT unmapped. */
QVX_ONCE_ static int qvx_move_block_(void *at, int forked)
{
  __builtin_memcpy(at, &qvx_block_, sizeof qvx_block_);
  if (forked)
    qvx_forget_(at);
  if (qvx_mremap_(at, sizeof qvx_block_, sizeof qvx_block_, 3, &qvx_block_) != QVX_NO_MAP_)
    return 1;
  qvx_munmap_(at, sizeof qvx_block_);
  return 0;
}

/* qvx_section_line_: the first line of the unit's section, for a block
   of BLOCK bytes at OFFSET in the section, in LINE (128 bytes): in the
   live file (LIVE) with the process number, in the data file without;
   its length. */
QVX_ONCE_ static unsigned long qvx_section_line_(char *line, int live, unsigned long offset,
                                                 unsigned long block)
{
  char digits[24];
  unsigned long n = 0;
  line[0] = 0;
  qvx_cat_(line, 128, live ? "QVX-LIVE 1 " : "QVX-SUM 1 ");
  if (live) {
    qvx_cat_(line, 128, qvx_decimal_(digits, (qvx_count_)qvx_getpid_()));
    qvx_cat_(line, 128, " ");
  }
  qvx_cat_(line, 128, qvx_decimal_(digits, (qvx_count_)sizeof(qvx_count_)));
  qvx_cat_(line, 128, " ");
  qvx_cat_(line, 128, qvx_decimal_(digits, (qvx_count_)offset));
  qvx_cat_(line, 128, " ");
  qvx_cat_(line, 128, qvx_decimal_(digits, (qvx_count_)block));
  qvx_cat_(line, 128, "\n");
  while (line[n])
    n++;
  return n;
}

/* qvx_map_live_: moves the block into a section of its own at the end of
   the process's live file, which the first unit creates, under the
   file's lock; without one it stays where it is. */
QVX_ONCE_ static void qvx_map_live_(int forked)
{
  unsigned long page = (unsigned long)qvx_getpagesize_(), layout = sizeof qvx_layout_ - 1;
  unsigned long offset = (128 + layout + QVX_PAGE_ - 1) / QVX_PAGE_ * QVX_PAGE_, n, section;
  char name[sizeof qvx_live_], line[128], digits[24];
  void *at = QVX_NO_MAP_;
  long end;
  int fd;
  qvx_live_[0] = name[0] = 0;
  qvx_live_row_ = 0;
  if (!QVX_MAPPED_ || !page || QVX_PAGE_ % page || !qvx_file_name_(name, sizeof name)
      || !qvx_cat_(name, sizeof name, ".")
      || !qvx_cat_(name, sizeof name, qvx_decimal_(digits, (qvx_count_)qvx_getpid_()))
      || !qvx_cat_(name, sizeof name, "-")
      || !qvx_cat_(name, sizeof name, qvx_decimal_(digits, (qvx_count_)(unsigned long)qvx_live_rows_))
      || !qvx_cat_(name, sizeof name, ".qvl"))
    return;
  fd = qvx_open_(name, QVX_O_LIVE_, 0666);
  if (fd < 0)
    return;
  while (qvx_flock_(fd, 2) != 0 && *qvx_errno_() == 4) /* LOCK_EX; EINTR */
    ;
  end = qvx_lseek_(fd, 0, 2); /* SEEK_END */
  section = end < 0 ? 0 : ((unsigned long)end + QVX_PAGE_ - 1) / QVX_PAGE_ * QVX_PAGE_;
  n = qvx_section_line_(line, 1, offset, sizeof qvx_block_);
  if (end >= 0 && qvx_ftruncate_(fd, (long)(section + offset + sizeof qvx_block_)) == 0
      && qvx_pwrite_(fd, line, n, (long)section) == (__PTRDIFF_TYPE__)n
      && qvx_pwrite_(fd, qvx_layout_, layout, (long)(section + n)) == (__PTRDIFF_TYPE__)layout)
    at = qvx_mmap_(0, sizeof qvx_block_, 3, 1, fd, (long)(section + offset)); /* RW, MAP_SHARED */
  /* LOCK_UN: the mapping keeps the file open, and with it the lock. */
  qvx_flock_(fd, 8);
  qvx_close_(fd);
  if (at != QVX_NO_MAP_ && qvx_move_block_(at, forked)) {
    qvx_cat_(qvx_live_, sizeof qvx_live_, name);
    qvx_live_row_ = qvx_live_row_of_(name, end == 0);
    if (qvx_live_row_)
      qvx_live_row_->sections++;
  }
}

/* The data file of a label (see qvx_data_name_): a sequence of
   sections, one per unit and label, each at a multiple of 64 bytes, in the live file's form: the line
   "QVX-SUM 1 <bytes of a count> <offset of the block in the section>
   <bytes of the block>", an L line (the test label, $QOR_COVERAGE_LABEL,
   written as H is), the unit's layout; then at a multiple of 64 the
   block's fields (not its whole pages), whose counts are the sums of
   every run of the unit under that label, and whose first counter is the
   number of those runs (process ends and dumps). Each run adds its
   counts under the file's lock, so that the data stays the size of one
   block per unit and label however many processes run. */
#define QVX_SUM_ALIGN_ 64UL
#define QVX_SUM_ROUND_(n) (((n) + QVX_SUM_ALIGN_ - 1) / QVX_SUM_ALIGN_ * QVX_SUM_ALIGN_)

/* The L line of the unit's sections in the data file. */
static char qvx_label_[1024];
/* The label in the data file's name: a label's runs have a file of their
   own (see qvx_data_name_), so that the sections that a run's end
   searches are the label's only. "." and the label's first 64 bytes,
   those other than letters, digits, '-' and '_' as '_'; empty without a
   label. */
static char qvx_label_part_[66];

/* qvx_name_part_: LABEL's part of the data file's name. */
QVX_ONCE_ static void qvx_name_part_(const char *label)
{
  unsigned long n = 0;
  if (label && *label)
    qvx_label_part_[n++] = '.';
  for (; label && *label && n + 1 < sizeof qvx_label_part_; label++) {
    unsigned char c = (unsigned char)*label;
    int kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    qvx_label_part_[n++] = kept ? (char)c : '_';
  }
  qvx_label_part_[n] = 0;
}

/* qvx_read_label_: the L line and the name part from
   $QOR_COVERAGE_LABEL; a label too long for the line is cut. */
QVX_ONCE_ static void qvx_read_label_(void)
{
  const char *label = qvx_getenv_("QOR_COVERAGE_LABEL");
  unsigned long n = 2;
  qvx_name_part_(label);
  qvx_label_[0] = 'L';
  qvx_label_[1] = ' ';
  for (; label && *label && n + 6 < sizeof qvx_label_; label++) {
    unsigned char c = (unsigned char)*label;
    if (c == '\\') {
      qvx_label_[n++] = '\\';
      qvx_label_[n++] = '\\';
    } else if (c < 32 || c == 127) {
      qvx_label_[n++] = '\\';
      qvx_label_[n++] = (char)('0' + (c >> 6));
      qvx_label_[n++] = (char)('0' + ((c >> 3) & 7));
      qvx_label_[n++] = (char)('0' + (c & 7));
    } else {
      qvx_label_[n++] = (char)c;
    }
  }
  qvx_label_[n++] = '\n';
  qvx_label_[n] = 0;
}

/* qvx_add_block_: adds the counts of the block to SUM, the block of the
   unit's section in the data file: counters one by one; the vectors
   that the analysis did not foresee by their value, since runs meet
   them in different orders (one without a free slot counts as
   overflow); and one run. */
QVX_ONCE_ static void qvx_add_block_(void *sum)
{
  unsigned long f, i, j;
  for (f = 0; f < QVX_FUNCTIONS_; f++) {
    const struct qvx_function_ *fn = &qvx_functions_[f];
    qvx_count_ *ends = QVX_IN_(sum, fn->ends), *branches = QVX_IN_(sum, fn->branches),
      *calls = QVX_IN_(sum, fn->calls);
    ends[0] += qvx_read_(&fn->ends[0]);
    ends[1] += qvx_read_(&fn->ends[1]);
    for (i = 0; i < fn->branch_slots; i++)
      branches[i] += qvx_read_(&fn->branches[i]);
    for (i = 0; i < fn->call_slots; i++)
      calls[i] += qvx_read_(&fn->calls[i]);
  }
  for (f = 0; f < QVX_DECISIONS_; f++) {
    const struct qvx_decision_ *decision = &qvx_decisions_[f];
    qvx_count_ *counts = QVX_IN_(sum, decision->counts), *state = QVX_IN_(sum, decision->state);
    unsigned char *ready = QVX_IN_(sum, decision->ready);
    char *vectors = QVX_IN_(sum, decision->vectors);
    unsigned long width = decision->conditions + 1, used;
    if (!decision->function)
      continue;
    used = (unsigned long)qvx_read_(&decision->state[1]);
    if (state[1] > decision->slots)
      state[1] = decision->slots;
    state[0] += qvx_read_(&decision->state[0]);
    for (i = 0; i < decision->known; i++)
      counts[i] += qvx_read_(&decision->counts[i]);
    for (i = decision->known; i < used && i < decision->slots; i++) {
      qvx_count_ count = qvx_read_(&decision->counts[i]);
      const char *vector = decision->vectors + i * width;
      if (!count || !__atomic_load_n(&decision->ready[i], __ATOMIC_ACQUIRE))
        continue;
      for (j = decision->known; j < state[1]; j++)
        if (ready[j] && !__builtin_memcmp(vectors + j * width, vector, width))
          break;
      if (j == state[1]) {
        if (j == decision->slots) {
          state[0] += count;
          continue;
        }
        __builtin_memcpy(vectors + j * width, vector, width);
        ready[j] = 1;
        state[1]++;
      }
      counts[j] += count;
    }
  }
  QVX_IN_(sum, &qvx_block_.fields)->added++;
}

/* qvx_number_: the decimal number at *P, which moves past it and one
   blank; 0 when there is none. */
QVX_ONCE_ static unsigned long qvx_number_(const unsigned char **p, const unsigned char *end)
{
  unsigned long value = 0;
  for (; *p < end && **p >= '0' && **p <= '9'; (*p)++)
    value = value * 10 + (unsigned long)(**p - '0');
  if (*p < end)
    (*p)++;
  return value;
}

#define QVX_FOREIGN_ (~0UL)

/* qvx_find_section_: the place in FILE (SIZE bytes) of the section that
   starts with KEY (KEY_SIZE bytes: the unit's first line, L line and
   layout) and holds its block (SECTION bytes); SIZE rounded up to a
   section's alignment when there is none; QVX_FOREIGN_ when FILE is not
   a data file of sections. A place of zeros (a process ended while it
   added a section) is passed over. */
QVX_ONCE_ static unsigned long qvx_find_section_(const unsigned char *file, unsigned long size,
                                                 const char *key, unsigned long key_size,
                                                 unsigned long section)
{
  static const char first[] = "QVX-SUM 1 ";
  unsigned long at = 0, offset, bytes;
  const unsigned char *p;
  while (at < size) {
    if (file[at] == 0) {
      at += QVX_SUM_ALIGN_;
      continue;
    }
    if (size - at < sizeof first - 1 || __builtin_memcmp(file + at, first, sizeof first - 1))
      return QVX_FOREIGN_;
    if (size - at >= section && !__builtin_memcmp(file + at, key, key_size))
      return at;
    p = file + at + sizeof first - 1;
    qvx_number_(&p, file + size);
    offset = qvx_number_(&p, file + size);
    bytes = qvx_number_(&p, file + size);
    if (offset + bytes == 0)
      return QVX_FOREIGN_;
    at += QVX_SUM_ROUND_(offset + bytes);
  }
  return QVX_SUM_ROUND_(size);
}

/* qvx_add_section_: writes at AT in FD the unit's new section: its KEY
   (KEY_SIZE bytes) and, at OFFSET, the block without counts (added
   next); 0 when it could not. */
QVX_ONCE_ static int qvx_add_section_(int fd, unsigned long at, const char *key, unsigned long key_size,
                                      unsigned long offset)
{
  return qvx_ftruncate_(fd, (long)(at + offset + sizeof qvx_block_.fields)) == 0
    && qvx_pwrite_(fd, key, key_size, (long)at) == (__PTRDIFF_TYPE__)key_size
    && qvx_pwrite_(fd, &qvx_block_, sizeof qvx_block_.fields, (long)(at + offset))
         == (__PTRDIFF_TYPE__)sizeof qvx_block_.fields;
}

/* qvx_data_name_: the name of the data file of the unit's label, in NAME
   (SIZE bytes): the data file's, with the label's part before its
   extension ("cov.dat" and label "smoke" give "cov.smoke.dat"), or at its
   end; 0 when it does not fit. */
QVX_ONCE_ static int qvx_data_name_(char *name, unsigned long size)
{
  unsigned long n, start = 0, dot = 0, part = 0, i;
  if (!qvx_file_name_(name, size))
    return 0;
  for (n = 0; name[n]; n++) {
    if (name[n] == '/')
      start = n + 1, dot = 0;
    else if (name[n] == '.' && n > start)
      dot = n;
  }
  while (qvx_label_part_[part])
    part++;
  if (n + part >= size)
    return 0;
  if (!dot)
    dot = n;
  for (i = n + 1; i > dot; i--)
    name[i - 1 + part] = name[i - 1];
  for (i = 0; i < part; i++)
    name[dot + i] = qvx_label_part_[i];
  return 1;
}

/* qvx_merge_: adds the unit's counts to its section of the data file
   for its label, which the first run adds; 0 when it could not (the file
   cannot be written, or is not a data file of sections: one written by
   an older run-time). Under the file's lock, so that processes that end
   at once add up. */
QVX_ONCE_ static int qvx_merge_(void)
{
  unsigned long layout = sizeof qvx_layout_ - 1, label = 0, line_size, key_size, offset, size, at;
  char name[sizeof qvx_path_], key[128 + sizeof qvx_label_ + sizeof qvx_layout_];
  unsigned char *file = QVX_NO_MAP_;
  int fd, locked, fresh = 0, done = 0;
  long end;
  while (qvx_label_[label])
    label++;
  /* The first line takes at most 48 bytes. */
  offset = QVX_SUM_ROUND_(48 + label + layout);
  line_size = qvx_section_line_(key, 0, offset, sizeof qvx_block_.fields);
  __builtin_memcpy(key + line_size, qvx_label_, label);
  __builtin_memcpy(key + line_size + label, qvx_layout_, layout);
  key_size = line_size + label + layout;
  if (!qvx_data_name_(name, sizeof name) || (fd = qvx_open_(name, QVX_O_LIVE_, 0666)) < 0)
    return 0;
  while ((locked = qvx_flock_(fd, 2)) != 0 && *qvx_errno_() == 4) /* LOCK_EX; EINTR */
    ;
  /* Without the lock (a file system that has none) another process could
     add at the same time and one of the sums would be lost: the counts
     stay in the live file instead. */
  if (locked != 0) {
    qvx_close_(fd);
    return 0;
  }
  end = qvx_lseek_(fd, 0, 2); /* SEEK_END */
  size = end < 0 ? 0 : (unsigned long)end;
  if (end <= 0) {
    at = end < 0 ? QVX_FOREIGN_ : 0;
  } else {
    file = qvx_mmap_(0, size, 3, 1, fd, 0); /* RW, MAP_SHARED */
    at = file == QVX_NO_MAP_ ? QVX_FOREIGN_
                             : qvx_find_section_(file, size, key, key_size, offset + sizeof qvx_block_.fields);
  }
  if (at != QVX_FOREIGN_ && at >= size) {
    if (file != QVX_NO_MAP_)
      qvx_munmap_(file, size);
    size = at + offset + sizeof qvx_block_.fields;
    fresh = 1;
    file = qvx_add_section_(fd, at, key, key_size, offset) ? qvx_mmap_(0, size, 3, 1, fd, 0) : QVX_NO_MAP_;
  }
  if (at != QVX_FOREIGN_ && file != QVX_NO_MAP_) {
    if (fresh)
      qvx_forget_(file + at + offset);
    qvx_add_block_(file + at + offset);
    done = 1;
  }
  if (file != QVX_NO_MAP_)
    qvx_munmap_(file, size);
  qvx_close_(fd); /* also releases the lock */
  return done;
}

/* qvx_save_counts_: adds the unit's counts to the data file unless no
   probe ran, and marks the live file's copy as added; 0 when it could
   not. */
QVX_ONCE_ static int qvx_save_counts_(void)
{
  if (!qvx_path_[0] || !qvx_anything_ran_())
    return 1;
  if (!QVX_MAPPED_ || !qvx_merge_())
    return 0;
  qvx_block_.fields.added = 1;
  return 1;
}

/* The units of the process, for qor_coverage_dump: a list whose head is
   a weak definition in every instrumented unit, which the linker makes
   one. */
struct qvx_unit_ {
  struct qvx_unit_ *next;
  void (*dump)(void);
};
__attribute__((weak)) struct qvx_unit_ *qvx_units_ = 0;
extern void qor_coverage_dump(void);

/* qor_coverage_dump: for programs that do not end (servers, embedded
   loops): adds the counts of each unit of the process where a probe ran
   to the data file, as a run, and sets them back to zero. Probes that other
   threads run during the call may be lost. */
__attribute__((weak)) void qor_coverage_dump(void)
{
  struct qvx_unit_ *unit;
  for (unit = qvx_units_; unit; unit = unit->next)
    unit->dump();
}

QVX_ONCE_ static void qvx_dump_unit_(void)
{
  int saved_errno = *qvx_errno_();
  if (qvx_save_counts_())
    qvx_forget_(&qvx_block_);
  *qvx_errno_() = saved_errno;
}
static struct qvx_unit_ qvx_this_unit_ = {0, qvx_dump_unit_};

/* At exit: the counts go to the data file; the live file goes with the
   last of its units, unless it must stay. The unit leaves the list of units,
   since a shared library's may go next. */
QVX_ONCE_ __attribute__((destructor(101))) static void qvx_finish_(void)
{
  int saved_errno = *qvx_errno_();
  struct qvx_unit_ **link;
  int written = qvx_save_counts_();
  if (qvx_live_[0] && qvx_live_row_) {
    if (!written)
      qvx_live_row_->keep = 1;
    if (--qvx_live_row_->sections == 0 && !qvx_live_row_->keep)
      qvx_unlink_(qvx_live_);
  }
  for (link = &qvx_units_; *link; link = &(*link)->next) {
    if (*link == &qvx_this_unit_) {
      *link = qvx_this_unit_.next;
      break;
    }
  }
  *qvx_errno_() = saved_errno;
}

/* In a forked child: the counts so far belong to the parent. The block
   moves to a live file of the child's, or else to private memory, before
   the child counts anything; if it cannot move, the child keeps counting
   in the parent's block and adds no counts of its own. */
QVX_ONCE_ static void qvx_forked_(void)
{
  int saved_errno = *qvx_errno_();
  void *at;
  if (!qvx_live_[0]) {
    qvx_forget_(&qvx_block_);
  } else {
    qvx_map_live_(1);
    if (!qvx_live_[0]) {
      at = qvx_mmap_(0, sizeof qvx_block_, 3, 0x22, -1, 0); /* RW, MAP_PRIVATE|MAP_ANONYMOUS */
      if (at == QVX_NO_MAP_ || !qvx_move_block_(at, 1))
        qvx_path_[0] = 0;
    }
  }
  *qvx_errno_() = saved_errno;
}

QVX_ONCE_ __attribute__((constructor(101))) static void qvx_start_(void)
{
  int saved_errno = *qvx_errno_();
  const char *name = qvx_getenv_("QOR_COVERAGE_FILE");
  unsigned long dir = 0, size = 0, i;
  if (!name || !*name)
    name = qvx_default_file_;
  qvx_read_label_();
  while (name[size])
    size++;
  if (name[0] != '/' && qvx_getcwd_(qvx_path_, sizeof qvx_path_)) {
    while (qvx_path_[dir])
      dir++;
    if (qvx_path_[dir - 1] != '/')
      qvx_path_[dir++] = '/';
  }
  /* A name too long with its directory stays relative (to the working
     directory at exit); one too long even alone gives no data. */
  if (dir + size >= sizeof qvx_path_)
    dir = 0;
  if (size < sizeof qvx_path_) {
    for (i = 0; i <= size; i++)
      qvx_path_[dir + i] = name[i];
  } else {
    qvx_path_[0] = 0;
  }
  if (qvx_path_[0])
    qvx_map_live_(0);
  qvx_this_unit_.next = qvx_units_;
  qvx_units_ = &qvx_this_unit_;
  (void)qvx_atfork_(0, 0, qvx_forked_);
  *qvx_errno_() = saved_errno;
}
}
}

# rename_text: renames, within the unit, each static function of the file
# whose name is one of the library functions that the run-time calls. The
# function has internal linkage, so the new name changes nothing outside
# the unit; only its __func__ text differs.
proc qvx::rename_text {functions} {
    variable library_names
    set text ""
    foreach function $functions {
        set name [dict get $function name]
        set slash [string last / $name]
        if {$slash < 0} {
            continue
        }
        set identifier [string range $name [expr {$slash + 1}] end]
        if {$identifier in $library_names} {
            append text "#define $identifier qvx_static_$identifier\n"
        }
    }
    if {$text ne ""} {
        set text "\n/* Static functions that share a name with a C library function of
   the run-time, renamed within the unit. */\n$text"
    }
    return $text
}

# replace_file: writes TEXT to a new file beside PATH and renames it to
# PATH, so that PATH is either the old file or the whole new one.
proc qvx::replace_file {path text} {
    set temporary "$path.[pid].tmp"
    if {[catch {
        set channel [open $temporary w]
        fconfigure $channel -translation lf -encoding utf-8
        puts -nonewline $channel $text
        close $channel
        unset channel
        file rename -force -- $temporary $path
    } message]} {
        if {[info exists channel]} {
            catch {close $channel}
        }
        catch {file delete -- $temporary}
        error "cannot write $path: $message"
    }
}

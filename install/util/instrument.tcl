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
# unit's counts to the coverage-data file when the program exits. The
# run-time's text is in the files beside this script: coverage_types.h,
# coverage_runtime.c and, where the installation compiled it once,
# coverage_runtime.s. It includes no system header: the instrumented
# file is preprocessed text that already holds the declarations of the
# headers it uses, and a second definition of their structures would not
# compile. The few C library functions the run-time calls are declared
# under run-time names bound to the library's link names, so they never
# meet the program's own declarations.

namespace eval qvx {
    # The directory of this script, which holds the run-time's files.
    variable util_dir [file dirname [file normalize [info script]]]
}

# library_names: the C library functions the run-time calls: those that
# coverage_runtime.c declares under their link names, and memcpy and
# memcmp, which the compiler may call for the built-ins of the same name.
# A static function of the file with one of these names would take the
# library's place in the object file of some compilers, so such a
# function is renamed in the unit (see rename_text).
proc qvx::library_names {} {
    set names {memcpy memcmp}
    foreach {- name} [regexp -all -inline {__asm__\("([A-Za-z_]+)"\)} [util_text coverage_runtime.c]] {
        lappend names $name
    }
    return $names
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
        lassign [counts [list $number $branches $calls $callees $mcdc_count $max_conditions $max_index] \
                     {number branches calls callees mcdc_count max_conditions max_index} \
                     "element $position ($name)"] \
            number branches calls callees mcdc_count max_conditions max_index
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

# counts: VALUES, the fields NAMES of a qvx_func record (WHAT names it),
# as numbers: decimal, never octal ("010" is ten). An error names the
# first that is not a count of at most nine digits. One match and one
# scan of the record, not a command per field.
proc qvx::counts {values names what} {
    if {[regexp {^[0-9]{1,9}( [0-9]{1,9})*$} $values]} {
        return [scan $values [string repeat "%d " [llength $values]]]
    }
    foreach name $names v $values {
        if {![regexp {^[0-9]{1,9}$} $v]} {
            error "qvx_func $what: $name \"$v\" is not a count"
        }
    }
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
        lassign [counts [list $index $line $decision $conditions] {index line decision conditions} $what] \
            index line decision conditions
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
    return [escape_text $text {[\x00-\x1f\x7f\\]} [list \\ \\\\]]
}

# c_string: a C string literal holding the UTF-8 bytes of TEXT. Anything
# but plain printable ASCII, and the quote, backslash and question mark
# (trigraphs), is written as a three-digit octal escape.
proc qvx::c_string {text} {
    return "\"[escape_text [encoding convertto utf-8 $text] {[^ -~]|["\\?]} {}]\""
}

# escape_text: TEXT with each character that PATTERN matches written as a
# backslash and three octal digits, unless the map MAP names its text.
# One string map of the characters met, not a command per character: the
# header script runs for every file of the build.
proc qvx::escape_text {text pattern map} {
    set escapes {}
    foreach char [lsort -unique [regexp -all -inline -- $pattern $text]] {
        if {[dict exists $map $char]} {
            lappend escapes $char [dict get $map $char]
        } else {
            lappend escapes $char [format "\\%03o" [scan $char %c]]
        }
    }
    return [string map $escapes $text]
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

# header_text: the header of a unit. The run-time's names, qvx_rt_...,
# become the unit's own, qvx_rt<unit>_..., so that the assembly of one
# unit never meets another's, not even where link-time optimization
# writes the units as one, nor another version of the run-time.
proc qvx::header_text {header date functions} {
    set runtime [runtime_text]
    set unit [zlib crc32 [encoding convertto utf-8 [list $header $date $functions]]]
    set own [list qvx_rt_ [format qvx_rt%08x_ [zlib crc32 [encoding convertto utf-8 $runtime] $unit]]]
    # The text starts as a string: appended to the result of string map,
    # the whole header would become a text of characters and be converted
    # piece by piece, and back again when written.
    set text ""
    append text [string map $own [probes_text $functions]]
    if {[llength $functions] > 0} {
        append text [runtime_form]
        append text [string map $own [util_text coverage_types.h]]
        append text [counters_text $header $date $functions]
        append text [string map $own "$runtime[unit_text]"]
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
# which keeps counts exact and costs one locked add; elsewhere it is not
# locked, and two threads that meet may count once. Which instruction an
# increment is (a volatile store, or an asm increment on x86-64) is told
# in the text below. A probe number
# outside the function's counters counts nothing. Function entry, exit
# and branch probes stand where C needs one statement and expand to
# exactly one expression statement; the call probe is an expression. The
# function name argument is not used: N identifies the function.
proc qvx::probes_text {functions} {
    set text {/* Coverage probes and run-time of one instrumented file, written by
   instrument.tcl. Included once, at the top of the instrumented file. */
#ifndef QVX_RUNTIME_H
#define QVX_RUNTIME_H 1
/* The run-time is not the program's code: the warnings that the
   program's build asks for (-Wpadded, -Wmissing-variable-declarations,
   ... with -Werror) are not about its text. */
#if defined(__GNUC__)
#pragma GCC system_header
#endif
/* The instrumented file is preprocessed text: where the program's macro
   put a comparison in parentheses, as in if (IS_ZERO(n)), no macro is left
   to tell clang that they are the macro's, and it would report them. */
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wparentheses-equality"
#endif

#if defined(_REENTRANT) || defined(_OPENMP) || defined(QOR_ATOMIC_COUNTS)
#define QVX_ADD_(c) ((void)__atomic_fetch_add(&(c), 1, __ATOMIC_RELAXED))
#define QVX_LOCK_ "lock "
#else
#define QVX_LOCK_ ""
#if defined(__OPTIMIZE__)
/* The new count is stored through a volatile lvalue: the optimizer may
   keep a counter in a register through a loop that calls nothing, but
   stores it on every pass, so that a process killed in the loop keeps
   the loop's counts. */
#define QVX_ADD_(c) ((void)(*(volatile qvx_count_ *)&(c) = (c) + 1))
#else
#define QVX_ADD_(c) ((void)++(c))
#endif
#endif
/* On x86-64 the counter of an entry, exit, branch or call probe is
   increased by an asm statement of the one instruction of an increment,
   which stores the count on every pass, as the volatile form does. The
   counter is its input operand, not an output: no C code of the unit
   reads a counter of this form (the run-time reads the block, whose
   address it is given), so the optimizer keeps no value of it, and,
   seeing no store, orders none of the program's own memory around it.
   The volatile form costs gcc a load, an add and a store to optimize;
   the asm statement took a file of a thousand probes from 1.62 to 1.43
   times the compile of its source, and the programs of the benchmarks
   and Lua ran as fast or faster. The end of a decision keeps the
   volatile form, which the optimizer may carry through a loop in a
   register: with asm ends in its loop, the interpreter of the
   benchmarks ran 14% slower. In the Intel syntax, gcc writes the size
   of a memory operand and clang does not. */
#if !defined(QOR_COVERAGE_C_RUNTIME) && defined(__x86_64__) && defined(__GNUC__)
#if defined(__clang__)
#define QVX_INC_ "{incq %0|inc qword ptr %0}"
#else
#define QVX_INC_ "{incq %0|inc %0}"
#endif
#define QVX_ADD_PROBE_(c) (__extension__ ({ __asm__ __volatile__(QVX_LOCK_ QVX_INC_ : : "m"(c)); }))
#else
#define QVX_ADD_PROBE_(c) QVX_ADD_(c)
#endif
/* Counter I of the counters FIELD of function N, by ADD; the number of
   slots is an enumeration constant, which costs the compiler less to
   read and fold, thousands of times a unit, than the array's size. The
   compiler drops the counter of an I beyond them unread, as the dead
   side of a constant condition. */
#define QVX_SLOT_(field, n, i) ((unsigned long)(i) < qvx_##field##_slots_##n)
#define QVX_BUMP_(add, field, n, i) (QVX_SLOT_(field, n, i) ? add(qvx_##field##_##n[i]) : (void)0)
#define QVX_CD1(f, n) QVX_BUMP_(QVX_ADD_PROBE_, ends, n, 0);
#define QVX_CDF(f, n) QVX_BUMP_(QVX_ADD_PROBE_, ends, n, 1);
#define QVX_CDX(f, n, b) QVX_BUMP_(QVX_ADD_PROBE_, branches, n, b);
#define QVX_CALL(f, n, c, k, m) (void)QVX_BUMP_(QVX_ADD_PROBE_, calls, n, c)

/* Condition coverage. Each evaluation of a rewritten decision follows one
   of its paths: the conditions it evaluates, in order, with their values.
   A rewritten decision is a statement expression that declares its path,
   qvx_mp<i>_, in automatic storage; each condition, once evaluated, adds
   the constant of its value to one word of it, and the decision's end
   counts the path (see QVX_FORM_). The header holds each decision's
   constants, QVX_WORDS_D and QVX_STEPS_D: with a table, the paths are
   numbered 0 to P - 1 and the end adds 1 to the path's counter; else each
   condition has two bits of the path and the end looks the vector up
   among those met before. A condition numbered beyond the decision's
   count marks the path's last word. The compiler knows the decision's
   number, the condition's and its constants, so at -O1 and above a
   condition's probe is one addition of a constant and a table's end one
   increment. Each QVX_EVAL_0 refers to the innermost path of its decision
   index, so recursive activations, threads and decisions nested in a
   condition (also under the same index) each follow their own, and
   QVX_MCDC_DEF_0 has nothing to declare. A condition is evaluated once
   and yields 0 or 1; the decision yields its outcome, 0 or 1, straight
   from the expression (so that the compiler follows the values as in the
   source) and as a comparison, which converts to any integer type without
   a warning. */
#define QVX_MCDC_DEF_0(nesting, size)
/* The expression and the condition are the last arguments and may hold
   commas that no parenthesis protects (a compound literal's braces). */
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wvariadic-macros"
#define QVX_CM_0(i, f, n, l, t, c, d, ...) (__extension__ ({ \
  qvx_path_word_ qvx_mp##i##_[QVX_PATH_WORDS_] = {0}; \
  enum { qvx_mc##i##_ = (c) < QVX_MAX_CONDITIONS_ ? (c) : QVX_MAX_CONDITIONS_ }; \
  QVX_FORM_(d, n, c, START)(i, d, n, c) \
  int qvx_mo##i##_ = ((void)qvx_mw##i##_, (void)qvx_mt##i##_, (__VA_ARGS__) ? 1 : 0); \
  QVX_FORM_(d, n, c, END)(i, d, n, c); \
  qvx_mo##i##_; }) != 0)
#define QVX_EVAL_0(i, k, ...) ((__VA_ARGS__) ? QVX_STEP_(i, k, 1) : QVX_STEP_(i, k, 0))
/* Which form decision D of function N, of C conditions in the code,
   takes: QVX_START_1_ and QVX_END_1_ where the unit lists it so (it
   defines QVX_LISTED_D_N_C as "~, 1", so that QVX_PICK_ picks 1), else
   QVX_START_0_ and QVX_END_0_. The first holds the decision's constants
   in its own static arrays and counts by its macro QVX_END_D, so that
   even unoptimized code reads no table and compares no constants at run
   time; the second looks the decision up and counts nothing, or counts
   the evaluation as not kept. */
#define QVX_PICK_(a, b, ...) b
#define QVX_PICK_ARGUMENTS_(...) QVX_PICK_(__VA_ARGS__)
#define QVX_FORM_(d, n, c, part) QVX_FORM_PART_(QVX_PICK_ARGUMENTS_(QVX_LISTED_##d##_##n##_##c, 0, 0), part)
#define QVX_FORM_PART_(listed, part) QVX_FORM_NAME_(listed, part)
#define QVX_FORM_NAME_(listed, part) QVX_##part##_##listed##_
#pragma GCC diagnostic pop
#define QVX_START_1_(i, d, n, c) \
  static const unsigned char qvx_mw##i##_[] = QVX_WORDS_##d; \
  static const qvx_path_word_ qvx_mt##i##_[] = QVX_STEPS_##d;
#define QVX_END_1_(i, d, n, c) QVX_END_##d(qvx_mp##i##_, qvx_mo##i##_)
#define QVX_START_0_(i, d, n, c) \
  const struct qvx_decision_ *const qvx_md##i##_ = QVX_DECISION_(d, n); \
  const unsigned char *const qvx_mw##i##_ = qvx_wide_words_; \
  const qvx_path_word_ *const qvx_mt##i##_ = qvx_wide_steps_;
#define QVX_END_0_(i, d, n, c) \
  (qvx_md##i##_ ? QVX_ADD_(qvx_md##i##_->state[0]) : (void)0)
/* The end of a listed decision D without a table (see QVX_END_D). */
#define QVX_SEARCH_(d, p, outcome) \
  qvx_rt_mcdc_search(&qvx_decisions_[QVX_DECISION_INDEX_(d)], p, outcome)
/* Condition K of decision index I is taken as at most the code's count
   (a condition beyond it marks the path's last word) and the unit's
   largest: both are constants, so that even unoptimized code compares
   nothing for it. */
#define QVX_CONDITION_(i, k) \
  ((unsigned long)(k) < (unsigned long)qvx_mc##i##_ ? (unsigned long)(k) : (unsigned long)qvx_mc##i##_)
#define QVX_STEP_(i, k, value) \
  (qvx_mp##i##_[qvx_mw##i##_[QVX_CONDITION_(i, k)]] += qvx_mt##i##_[2 * QVX_CONDITION_(i, k) + (value)], (value))
/* Decision D of function N where the unit lists it so, else none: a
   decision that the unit does not list under this number and function
   counts nothing, one that it lists with another count of conditions
   counts as not kept. */
#define QVX_DECISION_INDEX_(d) ((unsigned long)(d) - QVX_FIRST_DECISION_)
#define QVX_DECISION_(d, n) \
  (QVX_DECISION_INDEX_(d) < QVX_DECISIONS_ && (n) != 0 \
   && qvx_decisions_[QVX_DECISION_INDEX_(d)].function == (unsigned long)(n) \
   ? &qvx_decisions_[QVX_DECISION_INDEX_(d)] : (const struct qvx_decision_ *)0)
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
    # The most conditions of a decision of the unit.
    set widest 0
    # The unit's counters and evaluated vectors, which the run-time maps
    # to its section of the live file: the fields of qvx_block_, counters
    # first (the first one counts the runs added to the data file, see
    # qvx_rt_add_block), in the order of the layout lines.
    set count_fields {added}
    set count_values {0}
    set byte_fields {}
    set byte_values {}
    set layout ""
    # The number of each function's counters of each kind.
    set slot_counts ""
    foreach function $functions {
        dict with function {
            set data_name [data_text $name]
            append slot_counts "enum \{ qvx_ends_slots_$number = 2,\
                qvx_branches_slots_$number = [expr {$branches + 1}],\
                qvx_calls_slots_$number = [expr {$calls + 1}] \};\n"
            lappend count_fields "ends_$number\[qvx_ends_slots_$number\]" \
                "branches_$number\[qvx_branches_slots_$number\]" \
                "calls_$number\[qvx_calls_slots_$number\]"
            lappend count_values {{0}} {{0}} {{0}}
            foreach field {ends branches calls} {
                append text "#define qvx_${field}_$number (qvx_block_.fields.${field}_$number)\n"
            }
            append layout "F $number [expr {$branches + 1}] [expr {$calls + 1}] $data_name\n"
            lappend rows "  \{[c_string $data_name], \"$number\", $number, qvx_ends_$number,\
                qvx_branches_$number, qvx_branches_slots_$number, qvx_calls_$number,\
                qvx_calls_slots_$number\}"
            dict for {d decision} $decisions {
                set c [dict get $decision conditions]
                set shape [decision_shape $c [dict get $decision vectors]]
                if {$c > $widest} {
                    set widest $c
                }
                set known [dict get $shape known]
                set slots [expr {[llength $known] + [dict get $shape spare]}]
                dict set unit_decisions $d [dict merge $shape \
                    [dict create function $number conditions $c slots $slots]]
                if {[dict get $shape poison] >= $path_words} {
                    set path_words [expr {[dict get $shape poison] + 1}]
                }
                # Characters, not a string: a long literal is beyond what
                # C90 promises.
                set characters [string map {0 "'0' " 1 "'1' " - "'-' "} [join $known ""]]
                lappend count_fields "mcdc_counts_$d\[$slots\]" "mcdc_state_$d\[2\]"
                lappend count_values {{0}} "{0, [llength $known]}"
                lappend byte_fields "unsigned char mcdc_ready_$d\[$slots\]" \
                    "char mcdc_vectors_$d\[$slots * [expr {$c + 1}]\]"
                lappend byte_values [initializer [lrepeat [llength $known] 1]] [initializer $characters]
                foreach field {counts state ready vectors} {
                    append text "#define qvx_mcdc_${field}_$d (qvx_block_.fields.mcdc_${field}_$d)\n"
                }
                append layout "M $d $c $slots\n"
                append text [listed_text $d $number $c $shape]
            }
        }
    }
    # The decisions, indexed by their number from the smallest; a number
    # that no decision of the unit has is a row of function 0.
    set decision_rows {}
    set first 0
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
                }
            } else {
                lappend decision_rows "  \{0, 0, 0, 0, $d, 0, 0, 0, 0\}"
            }
        }
    } else {
        lappend decision_rows "  \{0, 0, 0, 0, 0, 0, 0, 0, 0\}"
    }
    set text "
#define QVX_PATH_WORDS_ $path_words

$slot_counts
/* The unit's counters and the vectors its decisions met, in one block of
   whole pages that the run-time maps to the unit's section of the
   process's live file (see qvx_rt_map_live), so that they reach the file
   however the process ends. */
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
static const struct qvx_function_ qvx_functions_\[\] = {
[join $rows ",\n"]
};

/* The unit's decisions, indexed by their number from the smallest. */
static const struct qvx_decision_ qvx_decisions_\[\] = {
[join $decision_rows ",\n"]
};
#define QVX_DECISIONS_ (sizeof qvx_decisions_ / sizeof qvx_decisions_\[0\])

#define QVX_MAX_CONDITIONS_ $widest
/* The constants of a decision that the unit does not list under its
   function and count, which counts nothing or as not kept (see
   QVX_START_0_): zeros, enough for the unit's largest decision. */
__attribute__((unused)) static const unsigned char qvx_wide_words_\[QVX_MAX_CONDITIONS_ + 1\] = {0};
__attribute__((unused)) static const qvx_path_word_ qvx_wide_steps_\[2 * QVX_MAX_CONDITIONS_ + 2\] = {0};
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

# listed_text: what the probes know of decision D of function N with C
# conditions and SHAPE (see QVX_FORM_): its constants, and QVX_END_D,
# which counts the path P that ended in OUTCOME. A path that a condition
# beyond the count marked, or beyond a table's paths, counts as not kept.
proc qvx::listed_text {d n c shape} {
    dict with shape {
        set lost "(p)\[$poison\]"
        if {$paths} {
            append lost " || (p)\[0\] >= $paths"
            set count "QVX_ADD_(qvx_mcdc_counts_$d\[(p)\[0\]\])"
        } else {
            set count "QVX_SEARCH_($d, p, outcome)"
        }
        return "#define QVX_LISTED_${d}_${n}_$c ~, 1
#define QVX_WORDS_$d \{[join $words ,]\}
#define QVX_STEPS_$d \{[join $steps ,]\}
#define QVX_END_$d\(p, outcome) ($lost ? QVX_ADD_(qvx_mcdc_state_$d\[0\]) : $count)
"
    }
}

# util_text: the text of NAME, a file of the run-time beside this script,
# read once; "" when OPTIONAL and there is no such file.
proc qvx::util_text {name {optional 0}} {
    variable util_dir
    variable util_texts
    if {![info exists util_texts($name)]} {
        set path [file join $util_dir $name]
        if {$optional && ![file exists $path]} {
            return ""
        }
        set channel [open $path r]
        fconfigure $channel -encoding utf-8
        set util_texts($name) [read $channel]
        close $channel
    }
    return $util_texts($name)
}

# has_assembly: whether the installation compiled the run-time once
# (coverage_runtime.s), which units for the target it was compiled for
# take instead of compiling the C text: that took most of the time that a
# small unit's compile spends on coverage.
proc qvx::has_assembly {} {
    return [expr {[string trim [util_text coverage_runtime.s 1]] ne ""}]
}

# runtime_form: which form of the run-time the unit takes, QVX_ASSEMBLED_,
# and so how it sees the entry points that coverage_types.h declares:
# hidden symbols of the assembly, or static functions of the C text.
# Defining QOR_COVERAGE_C_RUNTIME asks for the C text.
proc qvx::runtime_form {} {
    if {![has_assembly]} {
        return "\n#define QVX_ASSEMBLED_ 0\n"
    }
    return {
#if !defined(QOR_COVERAGE_C_RUNTIME) && defined(__x86_64__) && defined(__LP64__) \
    && defined(__linux__) && defined(__ELF__) && defined(__code_model_small__)
#define QVX_ASSEMBLED_ 1
#define QVX_ENTRY_ extern __attribute__((visibility("hidden")))
#else
#define QVX_ASSEMBLED_ 0
#endif
}
}

# runtime_text: the run-time, as QVX_ASSEMBLED_ says. The assembly is in
# the AT&T syntax, which it sets whatever syntax the compiler writes
# (-masm=intel): gcc copies it into its output inside a function whose
# first and last statements pick the dialect (an asm statement of gcc's
# own chooses by it), clang assembles a top-level asm statement apart
# from its output.
proc qvx::runtime_text {} {
    set code [string map [list "#include \"coverage_types.h\"\n" ""] [util_text coverage_runtime.c]]
    if {![has_assembly]} {
        return $code
    }
    # One string literal per line, each continuing the macro.
    set literal " \\\n  \"[string map [list \\ \\\\ \" \\\" \n "\\n\" \\\n  \""] \
        [string trimright [util_text coverage_runtime.s] \n]]\\n\""
    return "
#if QVX_ASSEMBLED_
#define QVX_ASSEMBLY_ \"\\t.pushsection .text\\n\"$literal \\
  \"\\t.popsection\\n\"
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored \"-Woverlength-strings\"
#if defined(__clang__)
__asm__(\".att_syntax prefix\\n\" QVX_ASSEMBLY_);
#else
__attribute__((used)) static void qvx_rt_assembly(void)
{
  __asm__ __volatile__(\"\{|.att_syntax prefix\}\" : : );
  __asm__(QVX_ASSEMBLY_);
  __asm__ __volatile__(\"\{|.intel_syntax noprefix\}\" : : );
}
#endif
#pragma GCC diagnostic pop
#else
$code
#endif
"
}

# unit_text: what the run-time is given of the unit, and the calls that
# start and finish it.
proc qvx::unit_text {} {
    return {
/* The process's live-file rows, shared by its units, and the unit's own
   state (see coverage_types.h). */
__attribute__((weak)) struct qvx_live_row_ qvx_live_rows_[QVX_LIVE_ROWS_] = {{0, 0, 0, 0}};
static struct qvx_unit_state_ qvx_unit_state_;
static const struct qvx_unit_tables_ qvx_unit_ = {
  &qvx_block_, sizeof qvx_block_, sizeof qvx_block_.fields,
  qvx_functions_, sizeof qvx_functions_ / sizeof qvx_functions_[0],
  qvx_decisions_, QVX_DECISIONS_, qvx_layout_, sizeof qvx_layout_ - 1,
  qvx_default_file_, qvx_live_rows_, &qvx_unit_state_
};

/* The units of the process, for qor_coverage_dump: a list whose head is
   a weak definition in every instrumented unit, which the linker makes
   one. */
struct qvx_unit_ {
  struct qvx_unit_ *next;
  void (*dump)(void);
};
__attribute__((weak)) struct qvx_unit_ *qvx_units_ = 0;

/* qor_coverage_dump: for programs that do not end (servers, embedded
   loops): adds the counts of each unit of the process where a probe ran
   to the data file, as a run, and sets them back to zero. Probes that other
   threads run during the call may be lost. Defined under another name
   in C: a unit that declares it weak to test whether it is there sees
   no second declaration and no address that is never null, which gcc's
   -Wredundant-decls and -Waddress (-Wall) would report. */
extern void qvx_coverage_dump_(void) __asm__("qor_coverage_dump");
__attribute__((weak)) void qvx_coverage_dump_(void)
{
  struct qvx_unit_ *unit;
  for (unit = qvx_units_; unit; unit = unit->next)
    unit->dump();
}

static void qvx_dump_unit_(void)
{
  qvx_rt_dump(&qvx_unit_);
}
static struct qvx_unit_ qvx_this_unit_ = {0, qvx_dump_unit_};

static void qvx_forked_(void)
{
  qvx_rt_forked(&qvx_unit_);
}

__attribute__((constructor(101))) static void qvx_start_(void)
{
  qvx_rt_start(&qvx_unit_, qvx_forked_);
  qvx_this_unit_.next = qvx_units_;
  qvx_units_ = &qvx_this_unit_;
}

/* At exit; the unit leaves the list of units, since a shared library's
   may go next. */
__attribute__((destructor(101))) static void qvx_finish_(void)
{
  struct qvx_unit_ **link;
  qvx_rt_finish(&qvx_unit_);
  for (link = &qvx_units_; *link; link = &(*link)->next) {
    if (*link == &qvx_this_unit_) {
      *link = qvx_this_unit_.next;
      break;
    }
  }
}
}
}

# rename_text: renames, within the unit, each static function of the file
# whose name is one of the library functions that the run-time calls. The
# function has internal linkage, so the new name changes nothing outside
# the unit; only its __func__ text differs.
proc qvx::rename_text {functions} {
    set library_names [library_names]
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

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
# run-time that keeps one counter per probe in static storage of the
# translation unit and appends the unit's counts to the coverage-data file
# when the program exits. It includes no system header: the instrumented
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
        getenv getcwd fopen fileno fclose flock write getpid pthread_atfork
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
        if {[catch {llength $vectors}]} {
            error "qvx_func element $position ($name): the vector list is not a list"
        }
        dict set seen $number $name
        lappend result [dict create name $name number $number \
            branches $branches calls $calls \
            max_conditions $max_conditions max_index $max_index]
    }
    return $result
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

# byte_length: the length in bytes of TEXT in UTF-8.
proc qvx::byte_length {text} {
    string length [encoding convertto utf-8 $text]
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
# adds 1 to one counter of its function N with a relaxed atomic increment,
# which keeps counts exact in threaded programs and costs one locked add.
# A probe number outside the function's counters counts nothing. Function
# entry, exit and branch probes stand where C needs one statement and
# expand to exactly one expression statement; the call probe is an
# expression. The function name argument is not used: N identifies the
# function.
proc qvx::probes_text {functions} {
    set text {/* Coverage probes and run-time of one instrumented file, written by
   instrument.tcl. Included once, at the top of the instrumented file. */
#ifndef QVX_RUNTIME_H
#define QVX_RUNTIME_H 1

#define QVX_SLOTS_(a) (sizeof (a) / sizeof (a)[0])
#define QVX_INDEX_(a, i) ((unsigned long)(i) < QVX_SLOTS_(a) ? (unsigned long)(i) : 0)
#define QVX_BUMP_(a, i) ((unsigned long)(i) < QVX_SLOTS_(a) ? (void)__atomic_fetch_add(&(a)[QVX_INDEX_(a, i)], 1, __ATOMIC_RELAXED) : (void)0)
#define QVX_CD1(f, n) QVX_BUMP_(qvx_ends_##n, 0);
#define QVX_CDF(f, n) QVX_BUMP_(qvx_ends_##n, 1);
#define QVX_CDX(f, n, b) QVX_BUMP_(qvx_branches_##n, b);
#define QVX_CALL(f, n, c, k, m) (void)QVX_BUMP_(qvx_calls_##n, c)

/* Condition coverage is not recorded yet; its per-function declaration
   and sizes are accepted. */
#define QVX_MCDC_DEF_0(nesting, size)
}
    foreach function $functions {
        dict with function {
            append text "#define QVX_CM_NEST_COMP$number $max_index\n"
            append text "#define QVX_SZ_VECT_COMP$number $max_conditions\n"
        }
    }
    return $text
}

# counters_text: the counters of every function, the table that the
# run-time walks, the unit's identification lines and the size of the
# record buffer. Per function N: qvx_ends_N (entries, exits),
# qvx_branches_N (branch 0 .. branch count) and qvx_calls_N (call
# 1 .. call count, slot 0 unused).
proc qvx::counters_text {header date functions} {
    # The longest count in decimal (64 bits) and its separating blank.
    set count_width 21
    set unit "H [data_text $header]\nD [data_text $date]\n"
    # "QVX 1 <pid>\n", the unit lines, "END\n".
    set size [expr {32 + [byte_length $unit] + 4}]
    set text "\n"
    set rows {}
    foreach function $functions {
        dict with function {
            set data_name [data_text $name]
            append text "static qvx_count_ qvx_ends_$number\[2\],\
                qvx_branches_$number\[[expr {$branches + 1}]\],\
                qvx_calls_$number\[[expr {$calls + 1}]\];\n"
            lappend rows "  \{[c_string $data_name], \"$number\", qvx_ends_$number,\
                qvx_branches_$number, $branches + 1, qvx_calls_$number, $calls + 1\}"
            # "F <number> <entries> <exits> <name>\n", "B <counts>\n",
            # "C <counts>\n".
            incr size [expr {2 + [string length $number] + 2 * $count_width
                             + 1 + [byte_length $data_name] + 1}]
            incr size [expr {1 + ($branches + 1) * $count_width + 1}]
            incr size [expr {1 + $calls * $count_width + 1}]
        }
    }
    set text "
/* Counters. 64 bits where the target adds them without a lock, else the
   width of a long. */
#if defined(__GCC_ATOMIC_LLONG_LOCK_FREE) && __GCC_ATOMIC_LLONG_LOCK_FREE == 2
__extension__ typedef unsigned long long qvx_count_;
#else
typedef unsigned long qvx_count_;
#endif
$text
struct qvx_function_ {
  const char *name;
  const char *number;
  qvx_count_ *ends;
  qvx_count_ *branches;
  unsigned long branch_slots;
  qvx_count_ *calls;
  unsigned long call_slots;
};
static const struct qvx_function_ qvx_functions_\[\] = {
[join $rows ",\n"]
};
static const char qvx_unit_\[\] = [c_string $unit];
static char qvx_record_\[$size\];
"
    return $text
}

# runtime_text: the run-time proper. At start-up (before main) it fixes
# the data file's path: $QOR_COVERAGE_FILE, else qor_coverage.dat, a
# relative name taken from the working directory of that moment so that a
# later chdir does not move the data. At exit it builds the unit's record
# in memory and appends it with one write, under an exclusive flock, to a
# file opened in append mode; a unit where no probe ran writes nothing. A
# forked child starts from zero counts, so that parent and child together
# count every probe once. errno is saved and restored around all of it.
# A file that cannot be opened or written only loses the record; where the
# file system has no lock, the single append still keeps records whole on
# a local disk.
proc qvx::runtime_text {} {
    return {
/* C library entry points, declared under run-time names bound to their
   link names. */
extern char *qvx_getenv_(const char *) __asm__("getenv");
extern char *qvx_getcwd_(char *, __SIZE_TYPE__) __asm__("getcwd");
extern void *qvx_fopen_(const char *, const char *) __asm__("fopen");
extern int qvx_fileno_(void *) __asm__("fileno");
extern int qvx_fclose_(void *) __asm__("fclose");
extern int qvx_flock_(int, int) __asm__("flock");
extern __PTRDIFF_TYPE__ qvx_write_(int, const void *, __SIZE_TYPE__)
  __asm__("write");
extern int qvx_getpid_(void) __asm__("getpid");
extern int *qvx_errno_(void) __asm__("__errno_location");
extern int qvx_atfork_(void (*)(void), void (*)(void), void (*)(void))
  __asm__("pthread_atfork");

#define QVX_FUNCTIONS_ (sizeof qvx_functions_ / sizeof qvx_functions_[0])

/* The data file's path; empty when there is none. */
static char qvx_path_[4096];

/* qvx_put_: appends TEXT at P; 0 once the record buffer is full. */
static char *qvx_put_(char *p, const char *text)
{
  while (p && *text) {
    if (p == qvx_record_ + sizeof qvx_record_)
      return 0;
    *p++ = *text++;
  }
  return p;
}

/* qvx_put_count_: appends a blank and VALUE in decimal at P. */
static char *qvx_put_count_(char *p, qvx_count_ value)
{
  char digits[24];
  char *d = digits + sizeof digits;
  *--d = 0;
  do {
    *--d = (char)('0' + (int)(value % 10));
    value /= 10;
  } while (value);
  *--d = ' ';
  return qvx_put_(p, d);
}

static qvx_count_ qvx_read_(qvx_count_ *counter)
{
  return __atomic_load_n(counter, __ATOMIC_RELAXED);
}

static int qvx_anything_ran_(void)
{
  unsigned long f, i;
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

/* qvx_build_record_: the unit's record in qvx_record_; returns its end,
   0 when it does not fit. */
static char *qvx_build_record_(void)
{
  char *p = qvx_record_;
  unsigned long f, i;
  p = qvx_put_(p, "QVX 1");
  p = qvx_put_count_(p, (qvx_count_)qvx_getpid_());
  p = qvx_put_(p, "\n");
  p = qvx_put_(p, qvx_unit_);
  for (f = 0; f < QVX_FUNCTIONS_; f++) {
    const struct qvx_function_ *fn = &qvx_functions_[f];
    p = qvx_put_(p, "F ");
    p = qvx_put_(p, fn->number);
    p = qvx_put_count_(p, qvx_read_(&fn->ends[0]));
    p = qvx_put_count_(p, qvx_read_(&fn->ends[1]));
    p = qvx_put_(p, " ");
    p = qvx_put_(p, fn->name);
    p = qvx_put_(p, "\nB");
    for (i = 0; i < fn->branch_slots; i++)
      p = qvx_put_count_(p, qvx_read_(&fn->branches[i]));
    p = qvx_put_(p, "\nC");
    for (i = 1; i < fn->call_slots; i++)
      p = qvx_put_count_(p, qvx_read_(&fn->calls[i]));
    p = qvx_put_(p, "\n");
  }
  return qvx_put_(p, "END\n");
}

/* qvx_append_: appends SIZE bytes at TEXT to the data file, whole. */
static void qvx_append_(const char *text, unsigned long size)
{
  void *file = qvx_fopen_(qvx_path_, "a");
  int fd;
  if (!file)
    return;
  fd = qvx_fileno_(file);
  /* LOCK_EX; EINTR is 4 on every Linux. Without the lock (a file system
     that has none) the single O_APPEND write still keeps records whole
     on a local file system. */
  while (qvx_flock_(fd, 2) != 0 && *qvx_errno_() == 4)
    ;
  while (size > 0) {
    __PTRDIFF_TYPE__ n = qvx_write_(fd, text, size);
    if (n < 0 && *qvx_errno_() == 4)
      continue;
    if (n <= 0 || (unsigned long)n > size)
      break;
    text += n;
    size -= (unsigned long)n;
  }
  qvx_fclose_(file); /* also releases the lock */
}

__attribute__((destructor(101))) static void qvx_finish_(void)
{
  int saved_errno = *qvx_errno_();
  char *end;
  if (qvx_path_[0] && qvx_anything_ran_()) {
    end = qvx_build_record_();
    if (end)
      qvx_append_(qvx_record_, (unsigned long)(end - qvx_record_));
  }
  *qvx_errno_() = saved_errno;
}

/* In a forked child: the counts so far belong to the parent's record. */
static void qvx_forget_(void)
{
  unsigned long f, i;
  for (f = 0; f < QVX_FUNCTIONS_; f++) {
    const struct qvx_function_ *fn = &qvx_functions_[f];
    fn->ends[0] = fn->ends[1] = 0;
    for (i = 0; i < fn->branch_slots; i++)
      fn->branches[i] = 0;
    for (i = 0; i < fn->call_slots; i++)
      fn->calls[i] = 0;
  }
}

__attribute__((constructor(101))) static void qvx_start_(void)
{
  int saved_errno = *qvx_errno_();
  const char *name = qvx_getenv_("QOR_COVERAGE_FILE");
  unsigned long dir = 0, size = 0, i;
  if (!name || !*name)
    name = "qor_coverage.dat";
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
  (void)qvx_atfork_(0, 0, qvx_forget_);
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

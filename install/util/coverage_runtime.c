/* coverage_runtime.c: the coverage run-time of an instrumented unit.

   Every function works on the unit it is given (struct qvx_unit_tables_),
   so that one text serves every unit. instrument.tcl writes it into each
   unit's header, with its names made the unit's own (qvx_rt_ becomes
   qvx_rt<unit>_), in one of two forms: this C text, which the unit's
   compile compiles, or the assembly that the installation compiled from
   it once (coverage_runtime.s), where the target is one it was compiled
   for. The entry points are static in the C form, and weak and hidden in
   the assembly (QVX_ENTRY_): the functions keep no state of their own, so
   two objects of one unit may share one copy.

   At start-up (qvx_rt_start) it fixes the data file's path:
   $QOR_COVERAGE_FILE (a relative name taken from the working directory of
   that moment so that a later chdir does not move the data; %p in it
   stands for the process number), else the unit's default, and maps the
   unit's block to a section of the process's live file beside it. At exit
   (qvx_rt_finish) it adds the unit's counts to the unit's section of the
   data file of the test label (qvx_rt_merge), under an exclusive flock; a
   unit where no probe ran adds nothing. A forked child (qvx_rt_forked)
   maps a section of its own and starts from zero counts, so that parent
   and child together count every probe once. errno is saved and restored
   around all of it. Counts that cannot be added stay in the live file. */
#include "coverage_types.h"

/* The functions that run once, at start-up and at exit, gcc compiles
   without optimizing them when it compiles the C form: optimizing them
   took most of the time that a unit's compile spends on the run-time. */
#ifndef QVX_ONCE_
#if defined(__GNUC__) && !defined(__clang__)
#define QVX_ONCE_ __attribute__((cold, optimize("O0")))
#else
#define QVX_ONCE_ __attribute__((cold))
#endif
#endif

/* C library entry points, declared under run-time names bound to their
   link names. */
extern char *qvx_rt_getenv(const char *) __asm__("getenv");
extern char *qvx_rt_getcwd(char *, __SIZE_TYPE__) __asm__("getcwd");
extern int qvx_rt_flock(int, int) __asm__("flock");
extern int qvx_rt_getpid(void) __asm__("getpid");
extern int *qvx_rt_errno(void) __asm__("__errno_location");
extern int qvx_rt_atfork(void (*)(void), void (*)(void), void (*)(void))
  __asm__("pthread_atfork");
extern int qvx_rt_open(const char *, int, ...) __asm__("open");
extern int qvx_rt_close(int) __asm__("close");
extern int qvx_rt_ftruncate(int, long) __asm__("ftruncate");
extern __PTRDIFF_TYPE__ qvx_rt_pwrite(int, const void *, __SIZE_TYPE__, long) __asm__("pwrite");
extern void *qvx_rt_mmap(void *, __SIZE_TYPE__, int, int, int, long) __asm__("mmap");
extern void *qvx_rt_mremap(void *, __SIZE_TYPE__, __SIZE_TYPE__, int, ...) __asm__("mremap");
extern int qvx_rt_munmap(void *, __SIZE_TYPE__) __asm__("munmap");
extern int qvx_rt_unlink(const char *) __asm__("unlink");
extern int qvx_rt_getpagesize(void) __asm__("getpagesize");
extern long qvx_rt_lseek(int, long, int) __asm__("lseek");

/* qvx_rt_decimal: VALUE in decimal, written at the end of DIGITS. */
QVX_ONCE_ static const char *qvx_rt_decimal(char digits[24], qvx_count_ value)
{
  char *d = digits + 24;
  *--d = 0;
  do {
    *--d = (char)('0' + (int)(value % 10));
    value /= 10;
  } while (value);
  return d;
}

/* qvx_rt_cat: appends TEXT to the string in TO (SIZE bytes); 0 when it
   does not fit. */
QVX_ONCE_ static int qvx_rt_cat(char *to, unsigned long size, const char *text)
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

QVX_ONCE_ static unsigned long qvx_rt_length(const char *text)
{
  unsigned long n = 0;
  while (text[n])
    n++;
  return n;
}

QVX_ONCE_ static qvx_count_ qvx_rt_read(qvx_count_ *counter)
{
  return __atomic_load_n(counter, __ATOMIC_RELAXED);
}

/* Condition coverage: the work of QVX_CM_0. */

/* qvx_rt_value: condition K of PATH, as a vector shows it. */
__attribute__((unused)) static char qvx_rt_value(const qvx_path_word_ *path, unsigned long k)
{
  return "-01-"[(path[k / 32] >> (2 * (k % 32))) & 3];
}

/* qvx_rt_mcdc_search: counts PATH with OUTCOME in the slots of a decision
   without a table. The slots take no lock, so that a signal handler can
   evaluate decisions too: a new vector claims the next free slot with a
   compare-and-swap and makes it ready once written. Two threads meeting
   the same new vector at once may take a slot each; the data file adds
   them up. */
__attribute__((unused)) QVX_ENTRY_ void qvx_rt_mcdc_search(const struct qvx_decision_ *decision,
                                                           const qvx_path_word_ *path, int outcome)
{
  unsigned long width = decision->conditions + 1, i, k;
  qvx_count_ used;
  char first = outcome ? '1' : '0';
  used = __atomic_load_n(&decision->state[1], __ATOMIC_ACQUIRE);
  for (i = 0; i < used; i++) {
    const char *slot = decision->vectors + i * width;
    if (!__atomic_load_n(&decision->ready[i], __ATOMIC_ACQUIRE) || slot[0] != first)
      continue;
    for (k = 0; k < decision->conditions && slot[k + 1] == qvx_rt_value(path, k); k++)
      ;
    if (k == decision->conditions) {
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
  for (k = 0; k < decision->conditions; k++)
    decision->vectors[used * width + k + 1] = qvx_rt_value(path, k);
  __atomic_store_n(&decision->counts[used], 1, __ATOMIC_RELAXED);
  __atomic_store_n(&decision->ready[used], 1, __ATOMIC_RELEASE);
}

QVX_ONCE_ static int qvx_rt_anything_ran(const struct qvx_unit_tables_ *u)
{
  unsigned long f, i;
  for (f = 0; f < u->decision_count; f++) {
    const struct qvx_decision_ *decision = &u->decisions[f];
    if (!decision->function)
      continue;
    if (qvx_rt_read(&decision->state[0]))
      return 1;
    for (i = 0; i < decision->slots; i++)
      if (qvx_rt_read(&decision->counts[i]))
        return 1;
  }
  for (f = 0; f < u->function_count; f++) {
    const struct qvx_function_ *fn = &u->functions[f];
    if (qvx_rt_read(&fn->ends[0]) || qvx_rt_read(&fn->ends[1]))
      return 1;
    for (i = 0; i < fn->branch_slots; i++)
      if (qvx_rt_read(&fn->branches[i]))
        return 1;
    for (i = 1; i < fn->call_slots; i++)
      if (qvx_rt_read(&fn->calls[i]))
        return 1;
  }
  return 0;
}

/* qvx_rt_file_name: the data file's name in NAME (SIZE bytes): the
   unit's path with each %p replaced by the number of the process that
   writes, so that a forked child and the processes of a parallel test run
   can each have a file; 0 when it does not fit. */
QVX_ONCE_ static int qvx_rt_file_name(const struct qvx_unit_tables_ *u, char *name, unsigned long size)
{
  const char *path = u->state->path;
  char digits[24];
  const char *d = qvx_rt_decimal(digits, (qvx_count_)qvx_rt_getpid());
  unsigned long n = 0, i, k;
  for (i = 0; path[i]; i++) {
    if (path[i] == '%' && path[i + 1] == 'p') {
      for (k = 0; d[k]; k++) {
        if (n + 1 >= size)
          return 0;
        name[n++] = d[k];
      }
      i++;
    } else {
      if (n + 1 >= size)
        return 0;
      name[n++] = path[i];
    }
  }
  name[n] = 0;
  return 1;
}

/* The place in BLOCK, a copy of the unit's block, of P, a place in the
   unit's block. */
#define QVX_IN_(unit, copy, p) \
  ((__typeof__(p))((char *)(copy) + ((const char *)(p) - (const char *)(unit)->block)))

/* qvx_rt_forget: sets the counts in BLOCK (the unit's block or a copy of
   it) back to zero, and the decisions' slots back to the vectors of the
   analysis. */
QVX_ONCE_ static void qvx_rt_forget(const struct qvx_unit_tables_ *u, void *block)
{
  unsigned long f, i;
  for (f = 0; f < u->function_count; f++) {
    const struct qvx_function_ *fn = &u->functions[f];
    qvx_count_ *ends = QVX_IN_(u, block, fn->ends), *branches = QVX_IN_(u, block, fn->branches),
      *calls = QVX_IN_(u, block, fn->calls);
    ends[0] = ends[1] = 0;
    for (i = 0; i < fn->branch_slots; i++)
      branches[i] = 0;
    for (i = 0; i < fn->call_slots; i++)
      calls[i] = 0;
  }
  for (f = 0; f < u->decision_count; f++) {
    const struct qvx_decision_ *decision = &u->decisions[f];
    qvx_count_ *counts = QVX_IN_(u, block, decision->counts), *state = QVX_IN_(u, block, decision->state);
    unsigned char *ready = QVX_IN_(u, block, decision->ready);
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
  *(qvx_count_ *)block = 0;
}

/* The live file: the blocks of the process's units, mapped, so that
   their counts reach the file however the process ends (exit, _exit,
   abort, a signal, exec). Named as the data file with .<pid>-<table>.qvl
   added, where <table> is the address of the table of live files
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

/* qvx_rt_live_row_of: the row of the live file NAME of this process,
   taken for it when it has none (EMPTY: the file was empty before the
   unit's section); 0 without a free row. */
QVX_ONCE_ static struct qvx_live_row_ *qvx_rt_live_row_of(const struct qvx_unit_tables_ *u,
                                                          const char *name, int empty)
{
  struct qvx_live_row_ *rows = u->live_rows;
  unsigned long hash = 2166136261UL, i;
  long pid = qvx_rt_getpid();
  for (; *name; name++)
    hash = (hash ^ (unsigned char)*name) * 16777619UL;
  for (i = 0; i < QVX_LIVE_ROWS_; i++)
    if (rows[i].pid == pid && rows[i].hash == hash)
      return &rows[i];
  for (i = 0; i < QVX_LIVE_ROWS_; i++) {
    if (rows[i].pid != pid) {
      rows[i].hash = hash;
      rows[i].pid = pid;
      rows[i].sections = 0;
      rows[i].keep = !empty;
      return &rows[i];
    }
  }
  return 0;
}

/* qvx_rt_move_block: gives the block the pages AT, a new mapping of its
   size: they take its content (without the counts, in a forked child)
   and then its place, at once. 0 when they could not, AT unmapped. */
QVX_ONCE_ static int qvx_rt_move_block(const struct qvx_unit_tables_ *u, void *at, int forked)
{
  __builtin_memcpy(at, u->block, u->block_size);
  if (forked)
    qvx_rt_forget(u, at);
  if (qvx_rt_mremap(at, u->block_size, u->block_size, 3, u->block) != QVX_NO_MAP_)
    return 1;
  qvx_rt_munmap(at, u->block_size);
  return 0;
}

/* qvx_rt_section_line: the first line of the unit's section, for a block
   of BLOCK bytes at OFFSET in the section, in LINE (128 bytes): in the
   live file (LIVE) with the process number, in the data file without;
   its length. */
QVX_ONCE_ static unsigned long qvx_rt_section_line(char *line, int live, unsigned long offset,
                                                   unsigned long block)
{
  char digits[24];
  line[0] = 0;
  qvx_rt_cat(line, 128, live ? "QVX-LIVE 1 " : "QVX-SUM 1 ");
  if (live) {
    qvx_rt_cat(line, 128, qvx_rt_decimal(digits, (qvx_count_)qvx_rt_getpid()));
    qvx_rt_cat(line, 128, " ");
  }
  qvx_rt_cat(line, 128, qvx_rt_decimal(digits, (qvx_count_)sizeof(qvx_count_)));
  qvx_rt_cat(line, 128, " ");
  qvx_rt_cat(line, 128, qvx_rt_decimal(digits, (qvx_count_)offset));
  qvx_rt_cat(line, 128, " ");
  qvx_rt_cat(line, 128, qvx_rt_decimal(digits, (qvx_count_)block));
  qvx_rt_cat(line, 128, "\n");
  return qvx_rt_length(line);
}

/* qvx_rt_map_live: moves the block into a section of its own at the end
   of the process's live file, which the first unit creates, under the
   file's lock; without one it stays where it is. */
QVX_ONCE_ static void qvx_rt_map_live(const struct qvx_unit_tables_ *u, int forked)
{
  struct qvx_unit_state_ *s = u->state;
  unsigned long page = (unsigned long)qvx_rt_getpagesize(), layout = u->layout_size;
  unsigned long offset = (128 + layout + QVX_PAGE_ - 1) / QVX_PAGE_ * QVX_PAGE_, n, section;
  char name[sizeof s->live], line[128], digits[24];
  void *at = QVX_NO_MAP_;
  long end;
  int fd;
  s->live[0] = name[0] = 0;
  s->live_row = 0;
  if (!QVX_MAPPED_ || !page || QVX_PAGE_ % page || !qvx_rt_file_name(u, name, sizeof name)
      || !qvx_rt_cat(name, sizeof name, ".")
      || !qvx_rt_cat(name, sizeof name, qvx_rt_decimal(digits, (qvx_count_)qvx_rt_getpid()))
      || !qvx_rt_cat(name, sizeof name, "-")
      || !qvx_rt_cat(name, sizeof name, qvx_rt_decimal(digits, (qvx_count_)(unsigned long)u->live_rows))
      || !qvx_rt_cat(name, sizeof name, ".qvl"))
    return;
  fd = qvx_rt_open(name, QVX_O_LIVE_, 0666);
  if (fd < 0)
    return;
  while (qvx_rt_flock(fd, 2) != 0 && *qvx_rt_errno() == 4) /* LOCK_EX; EINTR */
    ;
  end = qvx_rt_lseek(fd, 0, 2); /* SEEK_END */
  section = end < 0 ? 0 : ((unsigned long)end + QVX_PAGE_ - 1) / QVX_PAGE_ * QVX_PAGE_;
  n = qvx_rt_section_line(line, 1, offset, u->block_size);
  if (end >= 0 && qvx_rt_ftruncate(fd, (long)(section + offset + u->block_size)) == 0
      && qvx_rt_pwrite(fd, line, n, (long)section) == (__PTRDIFF_TYPE__)n
      && qvx_rt_pwrite(fd, u->layout, layout, (long)(section + n)) == (__PTRDIFF_TYPE__)layout)
    at = qvx_rt_mmap(0, u->block_size, 3, 1, fd, (long)(section + offset)); /* RW, MAP_SHARED */
  /* LOCK_UN: the mapping keeps the file open, and with it the lock. */
  qvx_rt_flock(fd, 8);
  qvx_rt_close(fd);
  if (at != QVX_NO_MAP_ && qvx_rt_move_block(u, at, forked)) {
    qvx_rt_cat(s->live, sizeof s->live, name);
    s->live_row = qvx_rt_live_row_of(u, name, end == 0);
    if (s->live_row)
      s->live_row->sections++;
  }
}

/* The data file of a label (see qvx_rt_data_name): a sequence of
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

/* qvx_rt_name_part: LABEL's part of the data file's name: a label's runs
   have a file of their own (see qvx_rt_data_name), so that the sections
   that a run's end searches are the label's only. "." and the label's
   first 64 bytes, those other than letters, digits, '-' and '_' as '_';
   empty without a label. */
QVX_ONCE_ static void qvx_rt_name_part(struct qvx_unit_state_ *s, const char *label)
{
  unsigned long n = 0;
  if (label && *label)
    s->label_part[n++] = '.';
  for (; label && *label && n + 1 < sizeof s->label_part; label++) {
    unsigned char c = (unsigned char)*label;
    int kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    s->label_part[n++] = kept ? (char)c : '_';
  }
  s->label_part[n] = 0;
}

/* qvx_rt_read_label: the L line of the unit's sections in the data file
   and the name part, from $QOR_COVERAGE_LABEL; a label too long for the
   line is cut. */
QVX_ONCE_ static void qvx_rt_read_label(struct qvx_unit_state_ *s)
{
  const char *label = qvx_rt_getenv("QOR_COVERAGE_LABEL");
  unsigned long n = 2;
  qvx_rt_name_part(s, label);
  s->label[0] = 'L';
  s->label[1] = ' ';
  for (; label && *label && n + 6 < sizeof s->label; label++) {
    unsigned char c = (unsigned char)*label;
    if (c == '\\') {
      s->label[n++] = '\\';
      s->label[n++] = '\\';
    } else if (c < 32 || c == 127) {
      s->label[n++] = '\\';
      s->label[n++] = (char)('0' + (c >> 6));
      s->label[n++] = (char)('0' + ((c >> 3) & 7));
      s->label[n++] = (char)('0' + (c & 7));
    } else {
      s->label[n++] = (char)c;
    }
  }
  s->label[n++] = '\n';
  s->label[n] = 0;
}

/* qvx_rt_add_block: adds the counts of the block to SUM, the block of the
   unit's section in the data file: counters one by one; the vectors
   that the analysis did not foresee by their value, since runs meet
   them in different orders (one without a free slot counts as
   overflow); and one run. */
QVX_ONCE_ static void qvx_rt_add_block(const struct qvx_unit_tables_ *u, void *sum)
{
  unsigned long f, i, j;
  for (f = 0; f < u->function_count; f++) {
    const struct qvx_function_ *fn = &u->functions[f];
    qvx_count_ *ends = QVX_IN_(u, sum, fn->ends), *branches = QVX_IN_(u, sum, fn->branches),
      *calls = QVX_IN_(u, sum, fn->calls);
    ends[0] += qvx_rt_read(&fn->ends[0]);
    ends[1] += qvx_rt_read(&fn->ends[1]);
    for (i = 0; i < fn->branch_slots; i++)
      branches[i] += qvx_rt_read(&fn->branches[i]);
    for (i = 0; i < fn->call_slots; i++)
      calls[i] += qvx_rt_read(&fn->calls[i]);
  }
  for (f = 0; f < u->decision_count; f++) {
    const struct qvx_decision_ *decision = &u->decisions[f];
    qvx_count_ *counts = QVX_IN_(u, sum, decision->counts), *state = QVX_IN_(u, sum, decision->state);
    unsigned char *ready = QVX_IN_(u, sum, decision->ready);
    char *vectors = QVX_IN_(u, sum, decision->vectors);
    unsigned long width = decision->conditions + 1, used;
    if (!decision->function)
      continue;
    used = (unsigned long)qvx_rt_read(&decision->state[1]);
    if (state[1] > decision->slots)
      state[1] = decision->slots;
    state[0] += qvx_rt_read(&decision->state[0]);
    for (i = 0; i < decision->known; i++)
      counts[i] += qvx_rt_read(&decision->counts[i]);
    for (i = decision->known; i < used && i < decision->slots; i++) {
      qvx_count_ count = qvx_rt_read(&decision->counts[i]);
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
  ++*(qvx_count_ *)sum;
}

/* qvx_rt_number: the decimal number at *P, which moves past it and one
   blank; 0 when there is none. */
QVX_ONCE_ static unsigned long qvx_rt_number(const unsigned char **p, const unsigned char *end)
{
  unsigned long value = 0;
  for (; *p < end && **p >= '0' && **p <= '9'; (*p)++)
    value = value * 10 + (unsigned long)(**p - '0');
  if (*p < end)
    (*p)++;
  return value;
}

#define QVX_FOREIGN_ (~0UL)

/* The first bytes of the unit's sections in the data file: the first
   line, the L line and the layout. */
struct qvx_key_ {
  const char *line;
  unsigned long line_size;
  const char *label;
  unsigned long label_size;
  const char *layout;
  unsigned long layout_size;
};

/* qvx_rt_key_at: whether the section at AT in FILE starts with KEY. */
QVX_ONCE_ static int qvx_rt_key_at(const unsigned char *at, const struct qvx_key_ *key)
{
  return !__builtin_memcmp(at, key->line, key->line_size)
    && !__builtin_memcmp(at + key->line_size, key->label, key->label_size)
    && !__builtin_memcmp(at + key->line_size + key->label_size, key->layout, key->layout_size);
}

/* qvx_rt_find_section: the place in FILE (SIZE bytes) of the section that
   starts with KEY and holds its block (SECTION bytes); SIZE rounded up to
   a section's alignment when there is none; QVX_FOREIGN_ when FILE is not
   a data file of sections. A place of zeros (a process ended while it
   added a section) is passed over. */
QVX_ONCE_ static unsigned long qvx_rt_find_section(const unsigned char *file, unsigned long size,
                                                   const struct qvx_key_ *key, unsigned long section)
{
  static const char qvx_rt_sum_mark[] = "QVX-SUM 1 ";
  unsigned long at = 0, offset, bytes;
  const unsigned char *p;
  while (at < size) {
    if (file[at] == 0) {
      at += QVX_SUM_ALIGN_;
      continue;
    }
    if (size - at < sizeof qvx_rt_sum_mark - 1
        || __builtin_memcmp(file + at, qvx_rt_sum_mark, sizeof qvx_rt_sum_mark - 1))
      return QVX_FOREIGN_;
    if (size - at >= section && qvx_rt_key_at(file + at, key))
      return at;
    p = file + at + sizeof qvx_rt_sum_mark - 1;
    qvx_rt_number(&p, file + size);
    offset = qvx_rt_number(&p, file + size);
    bytes = qvx_rt_number(&p, file + size);
    if (offset + bytes == 0)
      return QVX_FOREIGN_;
    at += QVX_SUM_ROUND_(offset + bytes);
  }
  return QVX_SUM_ROUND_(size);
}

/* qvx_rt_write: writes SIZE bytes of TEXT at AT in FD; 0 when it could
   not. */
QVX_ONCE_ static int qvx_rt_write(int fd, const void *text, unsigned long size, unsigned long at)
{
  return qvx_rt_pwrite(fd, text, size, (long)at) == (__PTRDIFF_TYPE__)size;
}

/* qvx_rt_add_section: writes at AT in FD the unit's new section: its KEY
   and, at OFFSET, the block without counts (added next); 0 when it could
   not. */
QVX_ONCE_ static int qvx_rt_add_section(const struct qvx_unit_tables_ *u, int fd, unsigned long at,
                                        const struct qvx_key_ *key, unsigned long offset)
{
  return qvx_rt_ftruncate(fd, (long)(at + offset + u->fields_size)) == 0
    && qvx_rt_write(fd, key->line, key->line_size, at)
    && qvx_rt_write(fd, key->label, key->label_size, at + key->line_size)
    && qvx_rt_write(fd, key->layout, key->layout_size, at + key->line_size + key->label_size)
    && qvx_rt_write(fd, u->block, u->fields_size, at + offset);
}

/* qvx_rt_data_name: the name of the data file of the unit's label, in
   NAME (SIZE bytes): the data file's, with the label's part before its
   extension ("cov.dat" and label "smoke" give "cov.smoke.dat"), or at its
   end; 0 when it does not fit. */
QVX_ONCE_ static int qvx_rt_data_name(const struct qvx_unit_tables_ *u, char *name, unsigned long size)
{
  const char *label_part = u->state->label_part;
  unsigned long n, start = 0, dot = 0, part = qvx_rt_length(label_part), i;
  if (!qvx_rt_file_name(u, name, size))
    return 0;
  for (n = 0; name[n]; n++) {
    if (name[n] == '/')
      start = n + 1, dot = 0;
    else if (name[n] == '.' && n > start)
      dot = n;
  }
  if (n + part >= size)
    return 0;
  if (!dot)
    dot = n;
  for (i = n + 1; i > dot; i--)
    name[i - 1 + part] = name[i - 1];
  for (i = 0; i < part; i++)
    name[dot + i] = label_part[i];
  return 1;
}

/* qvx_rt_merge: adds the unit's counts to its section of the data file
   for its label, which the first run adds; 0 when it could not (the file
   cannot be written, or is not a data file of sections: one written by
   an older run-time). Under the file's lock, so that processes that end
   at once add up. */
QVX_ONCE_ static int qvx_rt_merge(const struct qvx_unit_tables_ *u)
{
  struct qvx_unit_state_ *s = u->state;
  unsigned long offset, size, at;
  char name[sizeof s->path], line[128];
  struct qvx_key_ key;
  unsigned char *file = QVX_NO_MAP_;
  int fd, locked, fresh = 0, done = 0;
  long end;
  key.label = s->label;
  key.label_size = qvx_rt_length(s->label);
  key.layout = u->layout;
  key.layout_size = u->layout_size;
  /* The first line takes at most 48 bytes. */
  offset = QVX_SUM_ROUND_(48 + key.label_size + key.layout_size);
  key.line = line;
  key.line_size = qvx_rt_section_line(line, 0, offset, u->fields_size);
  if (!qvx_rt_data_name(u, name, sizeof name) || (fd = qvx_rt_open(name, QVX_O_LIVE_, 0666)) < 0)
    return 0;
  while ((locked = qvx_rt_flock(fd, 2)) != 0 && *qvx_rt_errno() == 4) /* LOCK_EX; EINTR */
    ;
  /* Without the lock (a file system that has none) another process could
     add at the same time and one of the sums would be lost: the counts
     stay in the live file instead. */
  if (locked != 0) {
    qvx_rt_close(fd);
    return 0;
  }
  end = qvx_rt_lseek(fd, 0, 2); /* SEEK_END */
  size = end < 0 ? 0 : (unsigned long)end;
  if (end <= 0) {
    at = end < 0 ? QVX_FOREIGN_ : 0;
  } else {
    file = qvx_rt_mmap(0, size, 3, 1, fd, 0); /* RW, MAP_SHARED */
    at = file == QVX_NO_MAP_ ? QVX_FOREIGN_ : qvx_rt_find_section(file, size, &key, offset + u->fields_size);
  }
  if (at != QVX_FOREIGN_ && at >= size) {
    if (file != QVX_NO_MAP_)
      qvx_rt_munmap(file, size);
    size = at + offset + u->fields_size;
    fresh = 1;
    file = qvx_rt_add_section(u, fd, at, &key, offset) ? qvx_rt_mmap(0, size, 3, 1, fd, 0) : QVX_NO_MAP_;
  }
  if (at != QVX_FOREIGN_ && file != QVX_NO_MAP_) {
    if (fresh)
      qvx_rt_forget(u, file + at + offset);
    qvx_rt_add_block(u, file + at + offset);
    done = 1;
  }
  if (file != QVX_NO_MAP_)
    qvx_rt_munmap(file, size);
  qvx_rt_close(fd); /* also releases the lock */
  return done;
}

/* qvx_rt_save_counts: adds the unit's counts to the data file unless no
   probe ran, and marks the live file's copy as added; 0 when it could
   not. */
QVX_ONCE_ static int qvx_rt_save_counts(const struct qvx_unit_tables_ *u)
{
  if (!u->state->path[0] || !qvx_rt_anything_ran(u))
    return 1;
  if (!QVX_MAPPED_ || !qvx_rt_merge(u))
    return 0;
  *(qvx_count_ *)u->block = 1;
  return 1;
}

/* qvx_rt_dump: for qor_coverage_dump: adds the unit's counts to the data
   file, as a run, and sets them back to zero. */
QVX_ONCE_ QVX_ENTRY_ void qvx_rt_dump(const struct qvx_unit_tables_ *u)
{
  int saved_errno = *qvx_rt_errno();
  if (qvx_rt_save_counts(u))
    qvx_rt_forget(u, u->block);
  *qvx_rt_errno() = saved_errno;
}

/* qvx_rt_finish: at exit: the counts go to the data file; the live file
   goes with the last of its units, unless it must stay. */
QVX_ONCE_ QVX_ENTRY_ void qvx_rt_finish(const struct qvx_unit_tables_ *u)
{
  struct qvx_unit_state_ *s = u->state;
  int saved_errno = *qvx_rt_errno();
  int written = qvx_rt_save_counts(u);
  if (s->live[0] && s->live_row) {
    if (!written)
      s->live_row->keep = 1;
    if (--s->live_row->sections == 0 && !s->live_row->keep)
      qvx_rt_unlink(s->live);
  }
  *qvx_rt_errno() = saved_errno;
}

/* qvx_rt_forked: in a forked child: the counts so far belong to the
   parent. The block moves to a live file of the child's, or else to
   private memory, before the child counts anything; if it cannot move,
   the child keeps counting in the parent's block and adds no counts of
   its own. */
QVX_ONCE_ QVX_ENTRY_ void qvx_rt_forked(const struct qvx_unit_tables_ *u)
{
  struct qvx_unit_state_ *s = u->state;
  int saved_errno = *qvx_rt_errno();
  void *at;
  if (!s->live[0]) {
    qvx_rt_forget(u, u->block);
  } else {
    qvx_rt_map_live(u, 1);
    if (!s->live[0]) {
      at = qvx_rt_mmap(0, u->block_size, 3, 0x22, -1, 0); /* RW, MAP_PRIVATE|MAP_ANONYMOUS */
      if (at == QVX_NO_MAP_ || !qvx_rt_move_block(u, at, 1))
        s->path[0] = 0;
    }
  }
  *qvx_rt_errno() = saved_errno;
}

/* qvx_rt_start: at start-up: the data file's path and the live file;
   FORKED runs in every forked child. */
QVX_ONCE_ QVX_ENTRY_ void qvx_rt_start(const struct qvx_unit_tables_ *u, void (*forked)(void))
{
  struct qvx_unit_state_ *s = u->state;
  int saved_errno = *qvx_rt_errno();
  const char *name = qvx_rt_getenv("QOR_COVERAGE_FILE");
  unsigned long dir = 0, size, i;
  if (!name || !*name)
    name = u->default_file;
  qvx_rt_read_label(s);
  size = qvx_rt_length(name);
  if (name[0] != '/' && qvx_rt_getcwd(s->path, sizeof s->path)) {
    dir = qvx_rt_length(s->path);
    if (s->path[dir - 1] != '/')
      s->path[dir++] = '/';
  }
  /* A name too long with its directory stays relative (to the working
     directory at exit); one too long even alone gives no data. */
  if (dir + size >= sizeof s->path)
    dir = 0;
  if (size < sizeof s->path) {
    for (i = 0; i <= size; i++)
      s->path[dir + i] = name[i];
  } else {
    s->path[0] = 0;
  }
  if (s->path[0])
    qvx_rt_map_live(u, 0);
  (void)qvx_rt_atfork(0, 0, forked);
  *qvx_rt_errno() = saved_errno;
}

/* coverage_types.h: the types that the tables of an instrumented unit and
   the coverage run-time (coverage_runtime.c) share. instrument.tcl writes
   this text into the header of every instrumented unit, ahead of the
   unit's tables. */
#ifndef QVX_TYPES_H
#define QVX_TYPES_H 1

/* Counters. 64 bits where the target adds them without a lock, else the
   width of a long. */
#if defined(__GCC_ATOMIC_LLONG_LOCK_FREE) && __GCC_ATOMIC_LLONG_LOCK_FREE == 2
__extension__ typedef unsigned long long qvx_count_;
#else
typedef unsigned long qvx_count_;
#endif
/* A decision's path in progress: its number, or two bits per condition. */
__extension__ typedef unsigned long long qvx_path_word_;

/* The unit's counters live in a block of whole pages of this size. */
#define QVX_PAGE_ 4096

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

/* The live files of the process, shared by its units through a weak
   definition in each that the linker makes one: per file (by a hash of
   its name) its units' sections not yet finished, and whether it must
   stay (it held sections of an earlier image, or a unit's counts could
   not be added to the data file). A row of another process (a forked
   parent's) is free; without a free row the file stays. */
struct qvx_live_row_ {
  unsigned long hash;
  long pid;
  long sections;
  long keep;
};
#define QVX_LIVE_ROWS_ 8

/* What the run-time keeps of one unit while the process runs: the data
   file's path (empty when there is none), the live file's name (empty
   while the block is in memory only) and its row, and the test label as
   its L line and as its part of the data file's name. */
struct qvx_unit_state_ {
  char path[4096];
  char live[4096 + 48];
  struct qvx_live_row_ *live_row;
  char label[1024];
  char label_part[66];
};

/* One instrumented unit, as the run-time sees it: its block (counters
   first, then the decisions' ready flags and vectors, in whole pages;
   the first counter counts the runs added to the data file), the size of
   the block's fields, its tables, the layout of its sections (see
   coverage_runtime.c), the data file to use without QOR_COVERAGE_FILE,
   the process's live-file rows and the unit's state. */
struct qvx_unit_tables_ {
  void *block;
  unsigned long block_size;
  unsigned long fields_size;
  const struct qvx_function_ *functions;
  unsigned long function_count;
  const struct qvx_decision_ *decisions;
  unsigned long decision_count;
  const char *layout;
  unsigned long layout_size;
  const char *default_file;
  struct qvx_live_row_ *live_rows;
  struct qvx_unit_state_ *state;
};

/* The run-time's entry points (coverage_runtime.c): static functions of
   the unit's C text, unless QVX_ENTRY_ says otherwise. */
#ifndef QVX_ENTRY_
#define QVX_ENTRY_ static
#endif
QVX_ENTRY_ void qvx_rt_start(const struct qvx_unit_tables_ *u, void (*forked)(void));
QVX_ENTRY_ void qvx_rt_finish(const struct qvx_unit_tables_ *u);
QVX_ENTRY_ void qvx_rt_dump(const struct qvx_unit_tables_ *u);
QVX_ENTRY_ void qvx_rt_forked(const struct qvx_unit_tables_ *u);
QVX_ENTRY_ void qvx_rt_mcdc_search(const struct qvx_decision_ *decision, const qvx_path_word_ *path,
                                   int outcome);

#endif

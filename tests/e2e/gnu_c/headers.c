/* The C library's and the compiler's headers, and the GNU C that code
   written against them uses. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdbool.h>
#include <inttypes.h>
#include <ctype.h>
#include <errno.h>
#include <math.h>
#include <limits.h>
#include <signal.h>
#include <setjmp.h>
#include <time.h>
#include <assert.h>
#include <pthread.h>
#include <unistd.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <dirent.h>
#include <locale.h>
#include <wchar.h>

#define ARRAY_SIZE(a) (sizeof(a) / sizeof((a)[0]))
#define MAX(a, b) ({ __typeof__(a) _a = (a); __typeof__(b) _b = (b); _a > _b ? _a : _b; })
#define UNUSED __attribute__((unused))

struct record {
    char name[16];
    uint32_t flags;
    double weight __attribute__((aligned(8)));
} __attribute__((packed));

_Static_assert(offsetof(struct record, flags) == 16, "flags after the name");

static jmp_buf recovery;
static volatile sig_atomic_t interrupted;
static __thread unsigned calls;
extern int renamed_counter __asm__("headers_counter");
int renamed_counter = 0;

static void on_signal(int signo UNUSED) { interrupted = 1; }

static int __attribute__((format(printf, 2, 3))) log_to(FILE *restrict out, const char *restrict fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    int n = vfprintf(out, fmt, ap);
    va_end(ap);
    return n;
}

static long sum_ints(int count, ...)
{
    va_list ap;
    long total = 0;
    va_start(ap, count);
    for (int i = 0; i < count; i++)
        total += va_arg(ap, int);
    va_end(ap);
    return total;
}

static inline bool is_word(const char *s)
{
    while (*s)
        if (!isalnum((unsigned char)*s++))
            return false;
    return true;
}

__attribute__((noreturn)) static void fail(const char *what)
{
    fprintf(stderr, "%s: %s\n", what, strerror(errno));
    longjmp(recovery, 1);
}

unsigned __int128 square128(uint64_t x)
{
    return (unsigned __int128)x * x;
}

int list_directory(const char *path)
{
    DIR *dir = opendir(path);
    struct dirent *entry;
    struct stat st;
    int files = 0;
    if (!dir)
        return -1;
    while ((entry = readdir(dir)) != NULL) {
        if (fstatat(dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            files++;
    }
    closedir(dir);
    return files;
}

static void *worker(void *arg)
{
    struct record *r = arg;
    calls++;
    __asm__ __volatile__("" : : "r"(r) : "memory");
    return (void *)(uintptr_t)r->flags;
}

int main(int argc, char **argv)
{
    struct record records[] = {
        [0] = { .name = "first", .flags = 1 },
        [1] = { .name = "second", .flags = 2, .weight = 0.5 },
    };
    pthread_t thread;
    wchar_t wide[8] = L"wide";
    time_t now = time(NULL);
    int fd;

    setlocale(LC_ALL, "");
    signal(SIGINT, on_signal);
    if (setjmp(recovery))
        return EXIT_FAILURE;
    assert(argc > 0);
    if (pthread_create(&thread, NULL, worker, &records[1]) != 0)
        fail("pthread_create");
    pthread_join(thread, NULL);
    fd = open(argv[0], O_RDONLY);
    if (fd >= 0)
        close(fd);
    log_to(stdout, "%" PRIu32 " %zu %ld %d %ls %g\n", records[0].flags, ARRAY_SIZE(records),
           sum_ints(3, 1, 2, 3), MAX(argc, 2), wide, sqrt(2.0) + (double)(now < 0));
    printf("%d %d %d\n", is_word(argv[0]), INT_MAX > 0, (int)(square128(3) & 0xff));
    struct record *copy = &(struct record){ .name = "literal" };
    return copy->flags == 0 && !interrupted ? list_directory(".") >= 0 ? 0 : 1 : 2;
}

/* Ends in the way its first argument names, after calling work() five
   times: exit, kill (SIGKILL to itself), abort, _exit, exec (of itself,
   which calls work() five times more and exits), fork (the child calls
   work() once and leaves by _exit), dump (qor_coverage_dump, one more
   call, then SIGKILL), threads (four threads call work() 100000 times
   each, then SIGKILL), wait (for a line of input, then exit), loop
   (work() until killed from outside) or spin (a loop without calls until
   killed from outside). */
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

extern void qor_coverage_dump(void) __attribute__((weak));

static int work(int n)
{
    if (n % 2 && n > 2)
        return n * 3;
    return n / 2;
}

static void *worker(void *unused)
{
    int i;
    (void)unused;
    for (i = 0; i < 100000; i++)
        work(i);
    return 0;
}

int main(int argc, char **argv)
{
    const char *how = argc > 1 ? argv[1] : "exit";
    int i, total = 0;
    for (i = 0; i < 5; i++)
        total += work(i);
    printf("%d\n", total);
    fflush(stdout);
    if (strcmp(how, "kill") == 0)
        raise(SIGKILL);
    else if (strcmp(how, "abort") == 0)
        abort();
    else if (strcmp(how, "_exit") == 0)
        _exit(0);
    else if (strcmp(how, "exec") == 0)
        execl(argv[0], argv[0], "exit", (char *)0);
    else if (strcmp(how, "fork") == 0) {
        pid_t child = fork();
        if (child == 0) {
            work(7);
            _exit(0);
        }
        waitpid(child, 0, 0);
    } else if (strcmp(how, "dump") == 0) {
        if (qor_coverage_dump)
            qor_coverage_dump();
        work(1);
        raise(SIGKILL);
    } else if (strcmp(how, "threads") == 0) {
        pthread_t threads[4];
        for (i = 0; i < 4; i++)
            pthread_create(&threads[i], 0, worker, 0);
        for (i = 0; i < 4; i++)
            pthread_join(threads[i], 0);
        raise(SIGKILL);
    } else if (strcmp(how, "wait") == 0) {
        getchar();
    } else if (strcmp(how, "loop") == 0) {
        for (i = 0;; i++)
            total += work(i);
    } else if (strcmp(how, "spin") == 0) {
        /* A loop without a call, whose counters an optimizer could keep
           in registers. */
        unsigned u;
        for (u = (unsigned)argc;; u++)
            if (u % 3 == 0 || u % 5 == 0)
                total = !total;
    }
    return total == 0;
}

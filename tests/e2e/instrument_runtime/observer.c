/* Not instrumented: watches errno around the run-time's start-up and
   exit work. Its constructor runs after the run-time's, its first
   destructor before the run-time's and its second one after it. */
#include <errno.h>
#include <stdio.h>
#include <unistd.h>

static int errno_at_start = -1;

__attribute__((constructor(102))) static void look_at_start(void)
{
    errno_at_start = errno;
}

__attribute__((destructor(102))) static void set_before_exit_work(void)
{
    errno = 1234;
}

__attribute__((destructor(100))) static void look_after_exit_work(void)
{
    char text[64];
    int n = snprintf(text, sizeof text, "errno at start %d, after exit %d\n",
                     errno_at_start, errno);
    if (write(1, text, (size_t)n) != n)
        _exit(99);
}

/* GNU statement expressions that hold statements with probes, inside the
   value of a return, the arguments of a call and a condition: the probes
   of the outer construct must still go around the whole of it. glibc's
   assert() is such an expression under GNU C. */
#include <assert.h>
#include <stdio.h>

static int calls;

static int add(int a, int b) { calls++; return a + b; }

static int checked(int x)
{
    return (assert(x >= 0), x * 2);
}

static int clamp(int x, int lo, int hi)
{
    return ({ int r = x; if (r < lo) r = lo; else if (r > hi) r = hi; r; });
}

static int sum_to(int n)
{
    return add(({ int s = 0, i; for (i = 1; i <= n; i++) s += i; s; }), n && !calls);
}

static int pick(int a, int b)
{
    if (({ int t = a; while (t > 10) t -= 10; t; }) > 5 && b)
        return 1;
    switch (({ int k = a; do k /= 2; while (k > 3 && b); k; })) {
    case 0: return 2;
    case 1: return 3;
    default: return a || b ? 4 : 5;
    }
}

int main(void)
{
    int i;
    for (i = -3; i < 14; i += 4)
        printf("%d %d %d %d %d\n", checked(i < 0 ? -i : i), clamp(i, 0, 9), sum_to(i), pick(i, i & 1), calls);
    return 0;
}

/* Every construct the instrumentation rewrites, each printing what it
   computes, so that an instrumented build must print the same. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int calls;

static int twice(int x) { calls++; return 2 * x; }
static int is_even(int x) { return x % 2 == 0; }

/* else-if chain with an early return and a final return. */
static const char *sign(int x)
{
    if (x < 0)
        return "negative";
    else if (x == 0)
        return "zero";
    else if (x < 10)
        return "small";
    return "large";
}

/* Each loop kind with break and continue. */
static int loops(int n)
{
    int total = 0, i;
    for (i = 0; i < n; i++) {
        if (i == 2) continue;
        if (i == 7) break;
        total += i;
    }
    while (n-- > 0) {
        if (n % 3 == 0) continue;
        if (n < 2) break;
        total++;
    }
    i = 0;
    do {
        i++;
        if (i == 2) continue;
        total += i;
        if (total > 1000) break;
    } while (i < 5);
    for (;;) {
        if (++i > 8) break;
    }
    return total + i;
}

/* Switches: fall-through, grouped cases, default first, in the middle and
   missing; a switch inside a loop with break and continue. */
static int switches(int k)
{
    int r = 0, i;
    switch (k) {
    default:
        r += 100;
        __attribute__((fallthrough));
    case 1:
        r += 1;
        break;
    case 2:
    case 3:
        r += 23;
    }
    switch (k % 4) {
    case 0: r *= 2; break;
    default: r -= 1; break;
    case 3: r += 3;
    }
    switch (k) {
    case 5: r += 5;
    }
    for (i = 0; i < k; i++) {
        switch (i % 3) {
        case 0: continue;
        case 1: r++; break;
        default:
            if (i > 6) break;
            r += 2;
        }
        if (r > 500) break;
    }
    return r;
}

/* goto, a void function falling off its end. */
static void jumps(int n, int *out)
{
    int i = 0;
again:
    i++;
    if (i < n)
        goto again;
    if (n > 3)
        goto done;
    *out = -i;
    return;
done:
    *out = i;
}

/* Calls in conditions, arguments and return expressions, recursion,
   function pointers, comma and conditional expressions, statement
   expressions. */
static int fact(int n) { return n <= 1 ? 1 : n * fact(n - 1); }

static int apply(int (*f)(int), int x) { return f(x); }

static int expressions(int x)
{
    int (*op)(int) = is_even(x) ? twice : fact;
    int y = (calls++, twice(x), apply(op, x % 6));
    if (twice(x) > 10 && is_even(twice(x) + 1) == 0)
        y += ({ int t = twice(3); t + x; });
    while (apply(is_even, y) && y > 0)
        y /= 2;
    return is_even(y) ? twice(y) : fact(x % 5) + y;
}

int main(int argc, char **argv)
{
    int i, out = 0;
    char text[64];
    for (i = -2; i < 14; i += 3)
        printf("%d %s %d %d\n", i, sign(i), loops(i), switches(i));
    for (i = 0; i < 7; i++) {
        jumps(i, &out);
        printf("jumps %d %d expressions %d\n", i, out, expressions(i));
    }
    snprintf(text, sizeof text, "%s:%d", argc > 1 ? argv[1] : "none", (int)strlen("abc"));
    puts(text);
    printf("calls %d\n", calls);
    return argc > 2 ? EXIT_FAILURE : EXIT_SUCCESS;
}

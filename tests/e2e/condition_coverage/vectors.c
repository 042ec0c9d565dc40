/* Decisions of every kind that condition coverage rewrites. Every
   condition goes through cond(D, K, value), which prints "c D K V" (V the
   truth value of the K-th condition of decision D), and each decision's
   outcome is printed as "o D O" right after it is known, outside the
   decision. D is the decision's number in source order, as the archive
   numbers it. The trace alone tells which vectors were evaluated. */
#include <stdio.h>

static int calls;

static int cond(int d, int k, int v)
{
    calls++;
    printf("c %d %d %d\n", d, k, v != 0);
    return v;
}

static void out(int d, int o)
{
    printf("o %d %d\n", d, o != 0);
}

static int same(const char *s, const char *t)
{
    while (*s == *t) {
        if (*s == 0)
            return 1;
        s++;
        t++;
    }
    return 0;
}

static int twice(int x) { return 2 * x; }

/* if: &&, !, || nested both ways, parentheses around the decision. */
static int ifs(int a, int b, int c)
{
    int r = 0;
    if (cond(1, 0, a) && !cond(1, 1, b)) { out(1, 1); r += 1; } else out(1, 0);
    if (cond(2, 0, a) || cond(2, 1, b)) { out(2, 1); r += 2; } else out(2, 0);
    if (cond(3, 0, a) && (cond(3, 1, b) || cond(3, 2, c))) { out(3, 1); r += 4; } else out(3, 0);
    if ((cond(4, 0, a) && cond(4, 1, b)) || cond(4, 2, c)) { out(4, 1); r += 8; } else out(4, 0);
    if ((cond(5, 0, a) && cond(5, 1, b))) { out(5, 1); r += 16; } else out(5, 0);
    if (!cond(6, 0, twice(a) > 2)) { out(6, 1); r += 32; } else out(6, 0);
    return r;
}

/* A return value: only the logical operator is the decision. */
static int plus(int x, int a, int b)
{
    return x + (cond(7, 0, a) && cond(7, 1, b));
}

/* Loops: while, do-while, and the three clauses of a for. */
static int loops(int x, int y, int n, int s)
{
    int i, j, last = 0, r = 0;
    while (cond(8, 0, x > 0) || cond(8, 1, y > 0)) {
        out(8, 1);
        x--;
        y -= 2;
        r++;
    }
    out(8, 0);
    i = 0;
    j = 1;
    do {
        if (j == 0)
            out(9, 1);
        j = 0;
        i++;
    } while (cond(9, 0, i < n) && !cond(9, 1, i == s));
    out(9, 0);
    for (j = cond(10, 0, x) || cond(10, 1, y), out(10, j), i = 0;
         cond(11, 0, i < n) && cond(11, 1, i != s);
         i++, last = !cond(12, 0, i % 2), out(12, last)) {
        out(11, 1);
        r += j + last;
    }
    out(11, 0);
    return r + i;
}

/* switch and expression statements. */
static int others(int a, int b, const char *s)
{
    int r;
    switch (cond(13, 0, a) || cond(13, 1, b)) {
    case 0:
        out(13, 0);
        r = 10;
        break;
    case 1:
        out(13, 1);
        r = 20;
        break;
    }
    r = cond(14, 0, a) || cond(14, 1, b);
    out(14, r);
    if (cond(15, 0, s != 0) && cond(15, 1, same(s, "a:b"))) { out(15, 1); r += 100; } else out(15, 0);
    return r;
}

int main(void)
{
    static const char *texts[] = { 0, "a:b", "a:c" };
    int a, b, c, v, total = 0;
    for (a = 0; a < 3; a++)
        for (b = 0; b < 3; b++)
            for (c = 0; c < 3; c++) {
                total += ifs(a, b, c);
                v = plus(10 * a, b, c);
                out(7, v - 10 * a);
                total += v;
                total += others(a, b, texts[c]);
            }
    printf("ifs %d\n", total);
    printf("loops %d\n", loops(2, 1, 4, 9));
    printf("loops %d\n", loops(0, 3, 5, 2));
    printf("loops %d\n", loops(0, 0, 0, 0));
    printf("loops %d\n", loops(1, 0, 3, 1));
    printf("calls %d\n", calls);
    return 0;
}

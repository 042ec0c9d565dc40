// Labels where C23 and GNU C allow them: a case, default or named label
// at the end of a block, and a label before a declaration.
#include <stdio.h>

static int last;

static void keep(int c)
{
    switch (c) {
    case 1:
        last = 10;
        break;
    case 2:
    }
    switch (c) {
    case 3:
        last = 30;
        break;
    default:
    }
    if (c > 5)
        goto out;
    last += 1;
out:
}

static int count_up(int n)
{
    int steps = 0;
again:
    int next = n + 1;
    steps++;
    n = next;
    if (n < 4)
        goto again;
    return steps;
}

int main(void)
{
    keep(1);
    int a = last;
    keep(2);
    int b = last;
    keep(3);
    int c = last;
    keep(9);
    printf("%d %d %d %d %d\n", a, b, c, last, count_up(0));
    return 0;
}
// keep: statements 9, decisions 7
// count_up: statements 5, decisions 2
// main: statements 6, decisions 0

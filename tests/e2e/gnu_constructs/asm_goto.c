// asm goto: the asm may jump to any label of its list, which it uses.
#include <stdio.h>

static int never_jumps(int x)
{
    asm goto("" : : "r"(x) : : taken, also_taken);
    return 0;
taken:
    return 1;
also_taken:
    return 2;
}

static int zero_test(int x)
{
    asm volatile goto("test %0, %0\n\tjz %l1" : : "r"(x) : "cc" : is_zero);
    return x;
is_zero:
    return -1;
}

int main(void)
{
    printf("%d %d %d\n", never_jumps(5), zero_test(0), zero_test(7));
    return 0;
}
// never_jumps: statements 4, decisions 0
// zero_test: statements 3, decisions 0
// main: statements 2, decisions 0

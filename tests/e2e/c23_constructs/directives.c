// #elifdef, #elifndef and __has_c_attribute choose the same text for the
// analysis as for the compiler.
// built with: gcc -std=gnu2x
// built with: clang-19 -std=gnu23
#include <stdio.h>

#define CHOSEN 1

#ifdef MISSING
#error MISSING is not defined
#elifdef CHOSEN
static int pick(int x) { return x > 0 ? 1 : 2; }
#else
#error CHOSEN is defined
#endif

#ifdef MISSING
#error MISSING is not defined
#elifndef CHOSEN
#error CHOSEN is defined
#elifndef MISSING
static int other(int x) { if (x) return 3; return 4; }
#endif

#if __has_c_attribute(nodiscard) && !__has_c_attribute(no_such_attribute)
[[nodiscard]] static int checked(int x) { while (x > 10) x /= 2; return x; }
#else
#error nodiscard is a standard attribute
#endif

int main(void)
{
    printf("%d %d %d\n", pick(1), other(0), checked(100));
    return 0;
}
// pick: statements 1, decisions 0
// other: statements 3, decisions 2
// checked: statements 3, decisions 2
// main: statements 2, decisions 0

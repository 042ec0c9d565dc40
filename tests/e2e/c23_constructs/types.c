// typeof and typeof_unqual, and _BitInt(N) alone and after unsigned or
// signed, with the wb and uwb suffixes in the cases and orders the
// compilers accept.
// built with: clang-19 -std=gnu23
#include <stdio.h>

static _BitInt(12) small = 100wb;
static unsigned _BitInt(9) nine = 5uwb;
static signed _BitInt(7) seven = -3WB;

static int widen(unsigned _BitInt(9) x, _BitInt(12) y)
{
    typeof(x) twice = x * 2uwb;
    typeof_unqual(const int) plain = (int)y;
    plain += (int)(_BitInt(16))7wbu;
    return (int)twice + plain + (int)5Uwb + (int)6wbU + (int)0x1FWBU;
}

int main(void)
{
    const int c = 4;
    typeof_unqual(c) d = c;
    d++;
    printf("%d %d %d\n", widen(nine, small), d, (int)seven);
    return 0;
}
// widen: statements 2, decisions 0
// main: statements 3, decisions 0

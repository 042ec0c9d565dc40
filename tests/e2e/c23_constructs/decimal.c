// The decimal floating types and the df, dd and dl suffixes of their
// constants (gcc's; clang has no decimal floating types).
// built with: gcc -std=gnu2x
#include <stdio.h>

static _Decimal32 a = 1.5df;
static _Decimal64 b = 2.25dd;
static _Decimal128 c = 3.125DL;

static int hundredths(_Decimal64 x)
{
    return (int)(x * 100.0dd);
}

int main(void)
{
    _Decimal64 sum = (_Decimal64)a + b + (_Decimal64)c + 1e1DD;
    printf("%d %d\n", hundredths(sum), hundredths(.5dd));
    return 0;
}
// hundredths: statements 1, decisions 0
// main: statements 2, decisions 0

// Digit separators in every kind of number, and the u8 character constant.
// built with: gcc -std=gnu2x
// built with: clang-19 -std=gnu23
#include <stdio.h>

static long million = 1'000'000;
static unsigned mask = 0xFF'FF;
static int bits = 0b1010'0101;
static int octal = 07'77;

static double scaled(double x)
{
    return x * 1'000.5 + 1e1'0 / 1e10;
}

int main(void)
{
    unsigned char c = u8'a';
    if (million > 999'999 && c == 'a') printf("%ld %u %d %d %.1f\n", million, mask, bits, octal, scaled(2));
    return 0;
}
// scaled: statements 1, decisions 0
// main: statements 3, decisions 2

// Complex numbers in GNU C: imaginary constants with their suffixes,
// <complex.h>'s I, and the __real__ and __imag__ operators.
#include <complex.h>
#include <stdio.h>

static double parts(double _Complex z)
{
    return __real__ z * 10 + __imag__ z;
}

int main(void)
{
    double _Complex a = 2.0 + 3.0 * I;
    double _Complex b = 1.0i + 2.0fi + 0.5iF + 3il + 4j + 1e1J;
    float _Complex c = 1.5if;
    __real__ c = 2.5f;
    printf("%g %g %g %g\n", parts(a), __imag__ b, crealf(c), cimagf(c));
    return 0;
}
// parts: statements 1, decisions 0
// main: statements 3, decisions 0

#include <stdio.h>

static int sq(int x) { return x * x; }

int classify(int n)
{
    int r = 0;
    if (n < 0)
        r = -1;
    else if (n == 0)
        r = 0;
    else
        r = 1;
    while (n > 3) {
        n--;
        if (n == 5) continue;
        if (n == 9) break;
    }
    do {
        n++;
        if (n > 100) break;
    } while (n < 4);
    for (int i = 0; i < 3; i++)
        r += sq(i);
    switch (n) {
    case 1:
    case 2:
        r += 10;
        break;
    case 4:
        r += 40;
    }
    switch (r) {
    default:
        r++;
    case 7:
        r--;
    }
    return r;
}

void show(int v)
{
    if (v) printf("%d\n", classify(v));
}

int main(void)
{
    show(-5);
    show(0);
    show(12);
    show(2);
    return 0;
}

// A compound literal followed by a postfix operator: member, subscript,
// arrow, increment and decrement, and in a condition. C99 already allows
// them, so gcc builds them in gnu17 mode too.
// built with: gcc -std=gnu17
// built with: clang-19 -std=gnu23
#include <stdio.h>

struct point { int x, y; };

static int pick(int i)
{
    int a, b, c, d, e;
    struct point p = {5, 6};
    a = (struct point){1, 2}.y;
    b = (int[]){10, 20, 30}[i];
    c = (struct point *){&p}->x;
    d = (struct point){7, 8}.x++;
    e = --(int[]){4}[0] + (int[]){9}[0]--;
    if ((struct point){i, 0}.x > 1 && (int[]){1, 0}[i % 2]) return a + b + c + d + e;
    return -(struct point){3, 4}.y;
}

int main(void)
{
    printf("%d %d %d\n", pick(0), pick(1), pick(2));
    return 0;
}
// pick: statements 8, decisions 2
// main: statements 2, decisions 0

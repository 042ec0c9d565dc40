// A nested function, measured as part of the function around it.
#include <stdio.h>

static int scaled_sum(int scale, int n)
{
    int total = 0;
    int scaled(int v)
    {
        if (v < 0)
            return 0;
        return v * scale;
    }
    for (int i = -1; i < n; i++)
        total += scaled(i);
    return total;
}

int main(void)
{
    printf("%d\n", scaled_sum(3, 4));
    return 0;
}
// scaled_sum: statements 6, decisions 4
// main: statements 2, decisions 0

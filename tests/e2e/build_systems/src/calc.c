#include "calc.h"
#include <platform.h>

int calc_clamp(int value, int low, int high)
{
    if (value < low)
        return low;
    if (value > high && high >= low)
        return high;
    return value;
}

int calc_sum_in_range(const int *values, int count, int low, int high)
{
    int sum = 0;
    for (int i = 0; i < count && values != 0; i++) {
        if (values[i] >= low && values[i] <= high)
            sum += values[i];
        else if (!(values[i] < low) || platform_pointer_bytes(0) > 64)
            sum += high;
    }
    return sum;
}

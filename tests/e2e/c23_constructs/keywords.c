// The keywords of C23: bool, true, false, nullptr, constexpr, static_assert
// with one argument and with two, alignas, alignof, thread_local, and auto
// as a type to infer.
// built with: clang-19 -std=gnu23
#include <stdio.h>

constexpr int limit = 3;
static_assert(limit == 3);
static_assert(sizeof(int) >= 2, "int");
alignas(16) static int table[limit];
static thread_local int calls;

static bool in_range(int x)
{
    static_assert(limit > 0);
    calls++;
    if (x >= 0 && x < limit) return true;
    return false;
}

static const char *name(const int *p)
{
    return p == nullptr ? "none" : "some";
}

int main(void)
{
    auto sum = 0;
    constexpr bool strict = false;
    for (auto i = -1; i <= limit; i++)
        if (in_range(i) || strict) sum += i;
    table[1] = (int)alignof(double);
    printf("%d %d %d %s %s\n", sum, calls, table[1], name(nullptr), name(&sum));
    return 0;
}
// in_range: statements 4, decisions 2
// name: statements 1, decisions 0
// main: statements 6, decisions 4

// Before C23 its new keywords are ordinary names: code that defines its own
// bool, true, false, nullptr or constexpr reads as it always has, also
// under gcc 12 in C2x mode, which does not have those keywords yet.
// built with: gcc -std=gnu17
// built with: gcc -std=gnu2x
#include <stdio.h>

typedef int bool;
enum { false, true };
static int nullptr = 3;
static int thread_local, typeof_unqual = 2;

static bool constexpr(int alignas)
{
    int static_assert = alignas * 2;
    return static_assert > 4 ? true : false;
}

int main(void)
{
    bool ok = constexpr(nullptr);
    printf("%d %d %d\n", ok, thread_local, typeof_unqual);
    return false;
}
// constexpr: statements 1, decisions 0
// main: statements 2, decisions 0

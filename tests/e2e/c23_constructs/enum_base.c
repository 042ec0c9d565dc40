// Enumerations with a fixed underlying type, a declaration of one before
// its definition, and an enumeration's unnamed bit-field, which keeps its
// width after the ':'.
// built with: clang-19 -std=gnu23
#include <stdio.h>
#include <stdint.h>

enum color : unsigned char { RED, GREEN = 4, BLUE, };
enum later : int;
enum later : int { FIRST = -1, SECOND };
enum : long long { HUGE_VALUE = 1LL << 40 };
enum small : uint8_t { ONE = 1 };

struct packed {
    enum color shade : 4;
    enum color : 4;
    int rest;
};

static int describe(enum color c)
{
    switch (c) {
    case RED: return 1;
    case GREEN: return 2;
    default: return 3;
    }
}

int main(void)
{
    struct packed p = {BLUE, 7};
    enum later l = SECOND;
    printf("%d %d %d %d %d %d\n", describe(p.shade), describe(GREEN), (int)sizeof(enum color), l,
           (int)(HUGE_VALUE >> 40), ONE);
    return 0;
}
// describe: statements 4, decisions 3
// main: statements 2, decisions 0

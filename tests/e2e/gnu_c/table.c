/* Tables and classification: designated initializers, ranges, compound
   literals, enumerations, bit-fields and generic selections. */
#include <stdbool.h>
#include <stdint.h>
#include <string.h>

enum token_kind {
    TK_NONE,
    TK_DIGIT,
    TK_ALPHA,
    TK_SPACE,
    TK_COUNT,
    TK_BLANK __attribute__((deprecated)) = TK_SPACE
};

static const char *const kind_names[TK_COUNT] = {
    [TK_NONE] = "none",
    [TK_DIGIT] = "digit",
    [TK_ALPHA] = "alpha",
    [TK_SPACE] = "space",
};

static const uint8_t class_of[256] = {
    ['0' ... '9'] = TK_DIGIT,
    ['a' ... 'z'] = TK_ALPHA,
    ['A' ... 'Z'] = TK_ALPHA,
    [' '] = TK_SPACE, ['\t'] = TK_SPACE,
};

struct flags {
    unsigned int visible : 1;
    unsigned int locked : 1;
    unsigned int : 0;
    unsigned int level : 4;
} __attribute__((packed, aligned(4)));

_Static_assert(sizeof(struct flags) == 8, "two words");

#define type_name(x) _Generic((x), int: "int", double: "double", default: "other")

enum token_kind classify(int c)
{
    switch (c) {
    case '0' ... '9':
        return TK_DIGIT;
    case 'a' ... 'z':
    case 'A' ... 'Z':
        return TK_ALPHA;
    case ' ':
    case '\t':
        return TK_SPACE;
    default:
        return TK_NONE;
    }
}

const char *kind_name(enum token_kind kind)
{
    return kind >= 0 && kind < TK_COUNT ? kind_names[kind] : "?";
}

int count_kind(const char *s, enum token_kind kind)
{
    int n = 0;
    for (; *s; s++)
        n += class_of[(unsigned char)*s] == kind;
    return n;
}

bool same_point(int x, int y)
{
    struct point { int x, y; };
    struct point a = { .y = y, .x = x };
    return memcmp(&a, &(struct point){ x, y }, sizeof a) == 0
        && __builtin_types_compatible_p(__typeof__(a.x), int);
}

const char *describe_number(double d)
{
    int i = (int)d;
    return (double)i == d ? type_name(i) : type_name(d);
}

unsigned level_of(struct flags f)
{
    _Static_assert(sizeof f == 8, "two words");
    return f.visible ? f.level : 0u;
}

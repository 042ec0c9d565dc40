// C23 attributes in GNU C: on declarations and definitions, on a structure
// and its member, on a parameter, on a block-scope declaration and as a
// statement.
#include <stdio.h>

[[nodiscard]] int answer(void);
[[deprecated("use answer ]] instead")]] int old_answer(void);
[[gnu::unused]] static int unused_helper(int x) { return x; }

struct [[gnu::packed]] record {
    char tag;
    int value [[gnu::aligned(4)]];
};

[[nodiscard, gnu::noinline]] int answer(void) { return 42; }

static int fall([[maybe_unused]] int unused, int k)
{
    [[maybe_unused]] int seen = 0;
    switch (k) {
    case 1:
        seen++;
        [[fallthrough]];
    case 2:
        return seen + 2;
    }
    return 0;
}

int main(void)
{
    struct record r = { 'a', answer() };
    printf("%d %d %d %d\n", r.value, fall(0, 1), fall(0, 2), fall(0, 3));
    return 0;
}
// unused_helper: statements 1, decisions 0
// answer: statements 1, decisions 0
// fall: statements 5, decisions 3
// main: statements 2, decisions 0

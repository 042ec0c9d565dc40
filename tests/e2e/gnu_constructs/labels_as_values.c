// Labels as values: a dispatch table of label addresses with a computed
// goto after each operation, and a label's address kept in a variable.
#include <stdio.h>

static int run(const unsigned char *code)
{
    static void *const dispatch[] = { &&op_add, &&op_double, &&op_halt };
    int acc = 1;
    goto *dispatch[*code++];
op_add:
    acc += 3;
    goto *dispatch[*code++];
op_double:
    acc *= 2;
    goto *dispatch[*code++];
op_halt:
    return acc;
}

static int pick(int flag)
{
    void *target = flag ? &&yes : &&no;
    goto *target;
yes:
    return 1;
no:
    return 0;
}

int main(void)
{
    static const unsigned char program[] = { 0, 1, 0, 1, 2 };
    printf("%d %d %d\n", run(program), pick(1), pick(0));
    return 0;
}
// run: statements 6, decisions 0
// pick: statements 3, decisions 0
// main: statements 2, decisions 0

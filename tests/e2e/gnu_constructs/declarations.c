// GNU C declarations: __attribute__ in its positions, __extension__ in
// expressions, typeof, a transparent union, zero-length and flexible
// arrays, static and * in array parameters, a K&R definition, and
// _Atomic as a type specifier.
#include <stdio.h>

typedef union {
    int *ip;
    const int *cip;
} __attribute__((__transparent_union__)) int_pointer;

struct packet {
    int length;
    char bytes[];
};

struct legacy {
    int length;
    char bytes[0];
};

static int read_int(int_pointer p) { return *p.cip; }

static int first_three(int n, const int values[static 3], int more[*]);

static int first_three(int n, const int values[static 3], int more[n])
{
    return values[0] + values[1] + values[2] + more[n - 1];
}

static int old_style(a, s)
    int a;
    const char *s;
{
    return a + s[0];
}

static _Atomic(int) atomic_total = 5;

static int atomic_read(void) { return atomic_total; }

__attribute__((noinline)) static int doubled(int x)
{
    return __extension__({ int y = x; y * 2; }) + __extension__ 0;
}

int main(void)
{
    int v = 7;
    __typeof__(v) w = 3;
    typeof(w) __attribute__((unused)) u = 1;
    int values[3] = { 1, 2, 3 };
    printf("%d %d %d %d %zu %zu %d\n", read_int(&v), first_three(3, values, values), old_style(1, "A"),
           doubled(w), sizeof(struct packet), sizeof(struct legacy), atomic_read());
    return 0;
}
// read_int: statements 1, decisions 0
// first_three: statements 1, decisions 0
// old_style: statements 1, decisions 0
// atomic_read: statements 1, decisions 0
// doubled: statements 2, decisions 0
// main: statements 2, decisions 0

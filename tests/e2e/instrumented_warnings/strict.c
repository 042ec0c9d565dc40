/* Code that builds without a warning under strict flags in every C
   dialect, in the shapes that the probes surround: fall-through comments,
   constant loops that gcc must still see as such, nested loops and
   switches, a decision inside the condition of another, logical operators
   in initializers, const pointers. It includes no header, so that every
   warning the instrumented copy could give is about this text. */
extern int printf(const char *, ...);

enum colour { RED, GREEN, BLUE };

struct item {
    const char *name;
    const struct item *next;
    unsigned char flags;
};

static unsigned long length(const char *s)
{
    unsigned long n = 0;
    while (s && *s++)
        n++;
    return n;
}

static const struct item *find(const struct item *list, const char *name, int strict)
{
    const int loose = !strict;
    const struct item *p;
    for (p = list; p != 0 && !(strict && p->flags); p = p->next) {
        if (p->name == name || (loose && length(p->name) == length(name)))
            return p;
    }
    return 0;
}

/* The forms of fall-through comment that -Wimplicit-fallthrough=3 takes,
   and the attribute. */
static int falls(int k)
{
    int r = 0;
    switch (k) {
    case 0:
        r += 1;
        /* fall through */
    case 1:
        r += 2;
        /* FALLTHRU */
    case 2:
        if (r > 2)
            r += 3;
        /* Falls through. */
    case 3:
        r += 4;
        __attribute__((fallthrough));
    case 4:
        while (r < 10)
            r += 5;
        /* FALLTHROUGH */
    default:
        r += 6;
        /* fallthru */
    case 9:
        r += 7;
    }
#if defined __STDC_VERSION__ && __STDC_VERSION__ >= 199901L
    switch (k) {
    case 0:
        r *= 2;
        // FALLTHRU
    case 1:
        r *= 3;
        break;
    default:
        break;
    }
#endif
    return r;
}

/* Constant loops: gcc must see that the end of the function is never
   reached and that x is set before it is read. */
static int first_above(int n, int limit)
{
    const int ok = !limit;
    int steps = ok;
    while (1) {
        if (n > limit)
            return n + steps;
        n += 3;
        steps++;
    }
}

static int settle(int n)
{
    int x;
    for (;;) {
        if (n > 3 && n % 2 == 0) {
            x = n;
            break;
        }
        n++;
    }
    do {
        x += 1;
    } while (0);
    do {
        x *= 2;
    } while (!1);
    while (1 == 1) {
        if (x > 0)
            break;
        x = -x;
    }
    return x;
}

static int position(const int *v)
{
    int i = 0;
    do {
        if (v[i] > 2 || !v[i])
            return i;
        i++;
    } while (1);
}

static int grid(int a, int b)
{
    int i, j, t = 0;
    for (i = 0; i < a; i++) {
        for (j = 0; j < b && !(i == 2 && j == 3); j++) {
            if (j > 5)
                break;
            switch (i) {
            case 1:
                switch (j) {
                case 2:
                    t++;
                    break;
                default:
                    t--;
                    break;
                }
                break;
            default:
                t += 2;
                break;
            }
            do {
                if (t > 40)
                    break;
                t++;
            } while (t % 3 != 0);
        }
        if (i > 7)
            break;
    }
    return t;
}

static int name_of(enum colour c)
{
    switch (c) {
    case RED:
        return 1;
    case GREEN:
        return 2;
    case BLUE:
        return 3;
    }
    return 0;
}

static int both(int a, int b)
{
    switch (a && b) {
    case 0:
        return 10;
    case 1:
        return 20;
    }
    return 30;
}

/* A decision inside a condition of another, and decisions that give
   their value to narrow and unsigned types. */
static unsigned char pick(int a, int b, int c, unsigned char f)
{
    unsigned char r;
    unsigned u = 0;
    int x = 0;
    if (a && __extension__ ({ int t = b; x = t || c; x; }))
        u += 1;
    r = (unsigned char)(a || f);
    u += !c;
    r = (unsigned char)(r + (b && c));
    return (unsigned char)(u + r + (!a ? f : 0));
}

int main(void)
{
    static const struct item c3 = { "ccc", 0, 1 }, b2 = { "bb", &c3, 0 }, a1 = { "a", &b2, 1 };
    static const int values[] = { 1, 2, 3, 0 };
    const struct item *found;
    int k, total = 0;
    for (k = 0; k < 11; k++)
        total += falls(k);
    found = find(&a1, "xy", 0);
    printf("%d %s %d %d %d\n", total, found ? found->name : "-", first_above(4, 20), settle(1), grid(4, 9));
    printf("%d\n", position(values));
    printf("%d %d %d %d %u %u\n", name_of(RED), name_of(BLUE), both(1, 0), both(2, 3), pick(1, 0, 1, 4),
           pick(0, 1, 1, 8));
    return !(total > 0);
}

/* A stack machine that runs a small program: the Collatz steps of the
   numbers below a bound, and a count of the primes among them. Its
   dispatch switch and its checks are the branches of an interpreter. */
#include <stdio.h>
#include <stdlib.h>

enum op { PUSH, LOAD, STORE, ADD, SUB, MUL, DIV, MOD, LT, EQ, JZ, JMP, HALT };

struct insn {
    enum op op;
    long arg;
};

static long run(const struct insn *code, long *vars)
{
    long stack[64];
    int sp = 0;
    long pc = 0;
    for (;;) {
        const struct insn *in = &code[pc++];
        long a, b;
        switch (in->op) {
        case PUSH: stack[sp++] = in->arg; break;
        case LOAD: stack[sp++] = vars[in->arg]; break;
        case STORE: vars[in->arg] = stack[--sp]; break;
        case ADD: b = stack[--sp]; a = stack[--sp]; stack[sp++] = a + b; break;
        case SUB: b = stack[--sp]; a = stack[--sp]; stack[sp++] = a - b; break;
        case MUL: b = stack[--sp]; a = stack[--sp]; stack[sp++] = a * b; break;
        case DIV:
        case MOD:
            b = stack[--sp];
            a = stack[--sp];
            if (b == 0 || (a < 0 && b < 0)) {
                fprintf(stderr, "bad division\n");
                exit(1);
            }
            stack[sp++] = in->op == DIV ? a / b : a % b;
            break;
        case LT: b = stack[--sp]; a = stack[--sp]; stack[sp++] = a < b; break;
        case EQ: b = stack[--sp]; a = stack[--sp]; stack[sp++] = a == b; break;
        case JZ:
            if (sp <= 0 || stack[--sp] == 0)
                pc = in->arg;
            break;
        case JMP: pc = in->arg; break;
        case HALT: return sp > 0 ? stack[sp - 1] : 0;
        }
        if (sp < 0 || sp >= 64 || pc < 0) {
            fprintf(stderr, "bad program\n");
            exit(1);
        }
    }
}

/* The steps of n to 1: while (n != 1) { n = n % 2 == 0 ? n / 2 : 3n + 1; steps++ } */
static const struct insn collatz[] = {
    /* 0 */ {LOAD, 0}, {PUSH, 1}, {EQ, 0}, {PUSH, 1}, {SUB, 0}, {JZ, 30},
    /* 6 */ {LOAD, 0}, {PUSH, 2}, {MOD, 0}, {PUSH, 0}, {EQ, 0}, {JZ, 18},
    /* 12 */ {LOAD, 0}, {PUSH, 2}, {DIV, 0}, {STORE, 0}, {JMP, 25}, {HALT, 0},
    /* 18 */ {LOAD, 0}, {PUSH, 3}, {MUL, 0}, {PUSH, 1}, {ADD, 0}, {STORE, 0}, {JMP, 25},
    /* 25 */ {LOAD, 1}, {PUSH, 1}, {ADD, 0}, {STORE, 1}, {JMP, 0},
    /* 30 */ {LOAD, 1}, {HALT, 0},
};

static int prime(long n)
{
    long d;
    if (n < 2 || (n > 2 && n % 2 == 0))
        return 0;
    for (d = 3; d * d <= n; d += 2)
        if (n % d == 0)
            return 0;
    return 1;
}

int main(int argc, char **argv)
{
    long bound = argc > 1 ? atol(argv[1]) : 100000;
    long n, steps = 0, primes = 0;
    for (n = 1; n < bound; n++) {
        long vars[2] = {n, 0};
        steps += run(collatz, vars);
        primes += prime(n);
    }
    printf("%ld %ld\n", steps, primes);
    return 0;
}

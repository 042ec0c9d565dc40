/* Members named like type names: the type names stay type names after
   the structure, at file scope and inside functions. */
typedef struct q q;
typedef int S;
typedef unsigned U;
typedef char A;
typedef long N;
typedef short V;
typedef double D;
typedef float F;

struct q { q *q; };
struct cfg {
    int S;
    A A[4];
    U U : 3;
    struct inner { N N; } in;
    union { V V; D D; } u;
    struct { F F; };
};
q *make(void);
S count;

int use(struct cfg *c, q *p)
{
    S *q2 = &c->S;
    A a = c->A[1];
    U u = c->U;
    N n = c->in.N;
    V v = c->u.V;
    F f = c->F;
    p = p->q;
    return *q2 + a + u + n + v + (int)f;
}
// use: statements 2, operators 23, decisions

int local(void)
{
    struct point { S S; N N; } pt = { 1, 2 };
    S *q2 = &pt.S;
    return *q2 + (S)pt.N;
}
// local: statements 1, operators 9, decisions

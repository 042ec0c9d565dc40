/* Tags named like type names: a tag is no ordinary identifier. */
typedef int T;
typedef int E;
typedef int W;

struct T { T m; };
union W { W w; long l; };
enum E { E_ONE = 1 };
T t;
E e;

int tags(struct T *s, union W *u)
{
    struct T local = { 2 };
    T x = s->m;
    enum E k = E_ONE;
    E *pk = &e;
    W w = u->w;
    return x + local.m + *pk + w + k;
}
// tags: statements 1, operators 12, decisions

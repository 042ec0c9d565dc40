/* Parameters named like type names: hidden in the body of a definition,
   only in the parameter list of a prototype. */
typedef int T;
typedef int P;

int proto(T *p, int T);
T after_proto;
int (*pick(int T))(P P);
P after_pointer;

int twice(int T)
{
    T = T * 2;
    return T;
}
// twice: statements 2, operators 6, decisions
T after_definition;

int call(int (*f)(int T), T v)
{
    T r = f(v);
    return r;
}
// call: statements 1, operators 4, decisions

int old_style(a, b)
    T a;
    int b;
{
    T c = a * b;
    return c;
}
// old_style: statements 1, operators 4, decisions

int hidden_in_body(int P)
{
    int r = P * P;
    {
        typedef char P;
        P c = (P)r;
        r = c;
    }
    return r + P;
}
// hidden_in_body: statements 2, operators 9, decisions

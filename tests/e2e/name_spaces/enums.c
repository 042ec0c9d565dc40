/* An enumeration constant is an ordinary identifier: it hides a type name
   in its scope, also when its enumeration stands inside a structure. */
typedef int T;
typedef int K;

int constants(int x)
{
    {
        enum { T = 3 };
        x = T * x;
    }
    {
        struct { enum { K = 2 } kind; } s = { K };
        x = K * x + s.kind;
    }
    T y = x;
    K z = y;
    return z;
}
// constants: statements 3, operators 13, decisions

int sized(int x)
{
    enum { T = sizeof(T) };
    return T * x;
}
// sized: statements 1, operators 5, decisions

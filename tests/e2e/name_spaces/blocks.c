/* A block-scope declaration hides a type name until the end of its
   block; a typedef in an inner block makes it a type name again there. */
typedef int T;

int blocks(int a)
{
    {
        int T = a;
        T = T * 2;
        a += T;
        {
            typedef long T;
            T wide = a;
            a = (int)wide;
        }
        a -= T;
    }
    T b = a;
    return b;
}
// blocks: statements 5, operators 15, decisions

int expression_block(int a)
{
    int r = ({ int T = a; T * 3; });
    T s = r;
    return s;
}
// expression_block: statements 2, operators 6, decisions

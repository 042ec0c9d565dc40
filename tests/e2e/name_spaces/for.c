/* A declaration in the first clause of a for hides a type name until the
   end of the for statement, however the statement ends. */
typedef int T;

int for_body_statement(int n)
{
    int s = 0;
    for (int T = 0; T < n; T++)
        s += T;
    T x = s;
    return x;
}
// for_body_statement: statements 3, operators 8, decisions For-Loop End-For-Loop

int for_body_if(int n)
{
    int s = 0;
    for (int T = 0; T < n; T++)
        if (T & 1)
            s += T;
    T x = s;
    return x;
}
// for_body_if: statements 4, operators 9, decisions For-Loop If Else End-For-Loop

int for_body_block(int n)
{
    int s = 0;
    for (int T = n; T > 0; T--) {
        int k = T * 2;
        s += k;
    }
    T x = s;
    return x;
}
// for_body_block: statements 3, operators 10, decisions For-Loop End-For-Loop

int nested_for(int n)
{
    int s = 0;
    for (int T = 0; T < n; T++)
        for (int T = 1; T < n; T *= 2)
            s += T;
    for (T i = 0; i < n; i++)
        s -= i;
    return s;
}
// nested_for: statements 6, operators 16, decisions For-Loop For-Loop End-For-Loop End-For-Loop For-Loop End-For-Loop

int for_type_clause(int n)
{
    T s = 0;
    for (T i = 0; i < n; i++)
        s = s * i;
    return s;
}
// for_type_clause: statements 3, operators 9, decisions For-Loop End-For-Loop

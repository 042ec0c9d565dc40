/* Labels named like type names: labels have a name space of their own,
   and the type name is still one after the label. */
typedef int T;
typedef int L;

int labels(int n)
{
    if (n > 2)
        goto T;
    n++;
T:
    n *= 2;
    T x = n;
    if (x)
        goto L;
    return x;
L:
    x--;
    L y = x;
    return y;
}
// labels: statements 9, operators 16, decisions If Else If Else

/* two components */
int total;
int f(int a)
{
    return a + 1;
}

/* g keeps the sum */
void g(int n)
{
    total = f(n);
}

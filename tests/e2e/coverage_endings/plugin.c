/* A shared library that host.c loads at run time. */
int plugin_work(int n)
{
    return n > 2 ? n * 2 : n;
}

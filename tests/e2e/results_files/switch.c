int s(int k)
{
    int r = 0;
    switch (k) {
    case 1:
    case 2:
        r = 10;
        break;
    case 3:
        r = 30;
    }
    return r;
}
int e(int x)
{
    if (x < 0)
        return -1;
    if (x == 0)
        goto out;
    x = x * 2;
out:
    return x;
}

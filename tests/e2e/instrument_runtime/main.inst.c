#include "main.inst.h"
/* main.c, instrumented. The run-time header must come first and must
   survive the declarations of the standard headers that follow it. */
#include <stdio.h>
#include <stdlib.h>

int classify(int x);
int sum_to(int n);
void note(const char *what);

static int twice(int x)
{QVX_CD1(twice,1)
 {
    {QVX_CDF(twice,1)
return 2 * x; }
}}

int main(int argc, char **argv)
{QVX_CD1(main,2)
 {
    int n, i, total = 0;
    if (argc > 1) {
QVX_CDX(main,2,1)
 {
        n = (QVX_CALL(main,2,1,0,1),atoi(argv[1]));
    }}
else {
QVX_CDX(main,2,2)
 {
        n = 3;
    }}
    {
int qvxbrk = 0;
for (i = 0; i < n; i++) {
QVX_CDX(main,2,3)
 {
        total += (QVX_CALL(main,2,3,1,3),twice((QVX_CALL(main,2,2,0,2),classify(i))));
        if (total > 40) {
QVX_CDX(main,2,5)
            { qvxbrk = 1;
 break;}
}
else
 QVX_CDX(main,2,6)
    }}
if (!qvxbrk) QVX_CDX(main,2,4)
}
    for (;;)
 { int qvxbrk = 0;
 do
 {
        n--;
        if (n == 2) {
QVX_CDX(main,2,9)
            continue;
}
else
 QVX_CDX(main,2,10)
    } while (0);
 if (qvxbrk) break;
 if (n > 0)
 QVX_CDX(main,2,7)
 else {
 QVX_CDX(main,2,8) break; }
}
    {
int qvxbool = 0;
switch (total % 3)
{
 {
    case 0:
if (!qvxbool) {
 qvxbool = 1;
 QVX_CDX(main,2,11)
}
        (QVX_CALL(main,2,4,0,4),note("zero"));
        break;
    case 1:
    case 2:
if (!qvxbool) {
 qvxbool = 1;
 QVX_CDX(main,2,12)
}
        (QVX_CALL(main,2,5,0,5),note("rest"));
    }
default:
 if (!qvxbool) {
 qvxbool = 1;
 QVX_CDX(main,2,13)
}
}
}
    (QVX_CALL(main,2,7,0,7),printf("total %d sum %d\n", total, (QVX_CALL(main,2,6,0,6),sum_to(total))));
    {QVX_CDF(main,2)
return total % 7; }
}}

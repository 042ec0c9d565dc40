#include "util.inst.h"
/* util.c, instrumented. Its static function "write" shares its name with
   the C library's write, which the run-time calls at exit. */
#include <stdio.h>

int classify(int x)
{QVX_CD1(classify,1)
 {
    if (x < 0) {
QVX_CDX(classify,1,1)
        {QVX_CDF(classify,1)
return -1; }
}
    else {
QVX_CDX(classify,1,2)
 if (x % 2 == 0) {
QVX_CDX(classify,1,3)
        {QVX_CDF(classify,1)
return 2; }
}
else
 QVX_CDX(classify,1,4)
}
    {QVX_CDF(classify,1)
return 3; }
}}

int sum_to(int n)
{QVX_CD1(sum_to,2)
 {
    int s = 0;
    {
int qvxbrk = 0;
while (n > 0) {
QVX_CDX(sum_to,2,1)
 {
        s += n;
        n--;
        if (s > 1000) {
QVX_CDX(sum_to,2,3)
            {QVX_CDF(sum_to,2)
return -1; }
}
else
 QVX_CDX(sum_to,2,4)
    }}
if (!qvxbrk) QVX_CDX(sum_to,2,2)
}
    {QVX_CDF(sum_to,2)
return s; }
}}

static int notes;

static int write(int count)
{QVX_CD1(write,3)
 {
    {QVX_CDF(write,3)
return count + 1; }
}}

void note(const char *what)
{QVX_CD1(note,4)
 {
    notes = (QVX_CALL(note,4,1,3,1),write(notes));
    (QVX_CALL(note,4,2,0,2),printf("[%s]\n", what));
{QVX_CDF(note,4)
}
}}

int never_called(void)
{QVX_CD1(never_called,5)
 {
    {QVX_CDF(never_called,5)
return (QVX_CALL(never_called,5,1,2,1),sum_to(notes)); }
}}

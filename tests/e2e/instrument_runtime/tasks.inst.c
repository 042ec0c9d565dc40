#include "tasks.inst.h"
/* tasks.c, instrumented: threads, fork and chdir, chosen by the number of
   arguments (none: four threads; one: fork; two: chdir to the second). */
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

static long work(long x)
{QVX_CD1(work,1)
 {
    {QVX_CDF(work,1)
return x + 1; }
}}

static long repeat(long s, long times)
{QVX_CD1(repeat,2)
 {
    long i;
    {
int qvxbrk = 0;
for (i = 0; i < times; i++) {
QVX_CDX(repeat,2,1)
        s = (QVX_CALL(repeat,2,1,1,1),work(s));
}
if (!qvxbrk) QVX_CDX(repeat,2,2)
}
    {QVX_CDF(repeat,2)
return s; }
}}

static void *spin(void *arg)
{QVX_CD1(spin,3)
 {
    {QVX_CDF(spin,3)
return (QVX_CALL(spin,3,1,2,1),repeat(0, 1000000)) == 1000000 ? NULL : arg; }
}}

int main(int argc, char **argv)
{QVX_CD1(main,4)
 {
    pthread_t threads[4];
    int i, status = -1;
    long s = 0;
    pid_t child;
    {
int qvxbool = 0;
switch (argc)
{
 {
    case 1:
if (!qvxbool) {
 qvxbool = 1;
 QVX_CDX(main,4,1)
}
        {
int qvxbrk = 0;
for (i = 0; i < 4; i++) {
QVX_CDX(main,4,4)
            (QVX_CALL(main,4,1,0,1),pthread_create(&threads[i], NULL, spin, NULL));
}
if (!qvxbrk) QVX_CDX(main,4,5)
}
        {
int qvxbrk = 0;
for (i = 0; i < 4; i++) {
QVX_CDX(main,4,6)
            (QVX_CALL(main,4,2,0,2),pthread_join(threads[i], NULL));
}
if (!qvxbrk) QVX_CDX(main,4,7)
}
        break;
    case 2:
if (!qvxbool) {
 qvxbool = 1;
 QVX_CDX(main,4,2)
}
        s = (QVX_CALL(main,4,3,2,3),repeat(s, 3));
        child = (QVX_CALL(main,4,4,0,4),fork());
        if (child == 0) {
QVX_CDX(main,4,8)
 {
            s = (QVX_CALL(main,4,5,2,3),repeat(s, 5));
            (QVX_CALL(main,4,6,0,5),exit(0));
        }}
else
 QVX_CDX(main,4,9)
        (QVX_CALL(main,4,7,0,6),waitpid(child, &status, 0));
        s = (QVX_CALL(main,4,8,2,3),repeat(s, 2));
        break;
    default:
if (!qvxbool) {
 qvxbool = 1;
 QVX_CDX(main,4,3)
}
        status = (QVX_CALL(main,4,9,0,7),chdir(argv[2]));
    }
}
}
    (QVX_CALL(main,4,10,0,8),printf("%ld %d\n", s, status));
    {QVX_CDF(main,4)
return 0; }
}}

#include "mcdc.inst.h"
/* mcdc.c, instrumented with condition coverage: every decision with a
   logical operator is rewritten. The arguments choose the run: none,
   the decisions counted by hand; one, four threads; two, a fork. */
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

static int both(int a, int b)
{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP1,QVX_SZ_VECT_COMP1);
QVX_CD1(both,1)
 {
    if (QVX_CM_0(0,both,1,8,1,2,1, (QVX_EVAL_0(0, 0, a) &&  ! QVX_EVAL_0(0, 1, b))) ) {
QVX_CDX(both,1,1)
        {QVX_CDF(both,1)
return 1; }
}
else
 QVX_CDX(both,1,2)
    {QVX_CDF(both,1)
return 0; }
}}

static int drain(int x, int y, int z)
{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP2,QVX_SZ_VECT_COMP2);
QVX_CD1(drain,2)
 {
    int n = 0;
    {
int qvxbrk = 0;
while (QVX_CM_0(0,drain,2,16,1,3,2, (QVX_EVAL_0(0, 0, x > 0) ||  (QVX_EVAL_0(0, 1, y > 0) && QVX_EVAL_0(0, 2, z)))) ) {
QVX_CDX(drain,2,1)
 {
        n++;
        x--;
        y--;
    }}
if (!qvxbrk) QVX_CDX(drain,2,2)
}
    {QVX_CDF(drain,2)
return n; }
}}

struct text { const char *p; int n; };

static int pair(const char *p, double q)
{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP3,QVX_SZ_VECT_COMP3);
QVX_CD1(pair,3)
 {
    int r;
    r = QVX_CM_0(0,pair,3,29,0,2,3, (QVX_EVAL_0(0, 0, (struct text){p, 1}.p) && QVX_EVAL_0(0, 1, q)));
    {QVX_CDF(pair,3)
return QVX_CM_0(0,pair,3,30,0,2,4, ( ! QVX_EVAL_0(0, 0, r) || QVX_EVAL_0(0, 1, q > 1.0))) ; }
}}

static int deep(int n)
{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP4,QVX_SZ_VECT_COMP4);
QVX_CD1(deep,4)
 {
    if (QVX_CM_0(0,deep,4,33,1,2,5, (QVX_EVAL_0(0, 0, n > 0) && QVX_EVAL_0(0, 1, (QVX_CALL(deep,4,1,4,1),deep(n - 1)) != 2))) ) {
QVX_CDX(deep,4,1)
        {QVX_CDF(deep,4)
return n; }
}
else
 QVX_CDX(deep,4,2)
    {QVX_CDF(deep,4)
return 0; }
}}

static int marks;

static int mark(int v)
{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP5,QVX_SZ_VECT_COMP5);
QVX_CD1(mark,5)
 {
    marks++;
    {QVX_CDF(mark,5)
return v; }
}}

/* A decision inside a condition of another, through a statement
   expression; both have index 0. mark() tells whether the inner
   decision's second condition was evaluated. */
static int nest(int a, int b, int c)
{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP6,QVX_SZ_VECT_COMP6);
QVX_CD1(nest,6)
 {
    if (QVX_CM_0(0,nest,6,46,1,2,7, (QVX_EVAL_0(0, 0, a) || QVX_EVAL_0(0, 1, __extension__ ({ int t; t = QVX_CM_0(0,nest,6,46,0,2,6, (QVX_EVAL_0(0, 0, b) && QVX_EVAL_0(0, 1, (QVX_CALL(nest,6,1,5,1),mark(c))))); t; })))) ) {
QVX_CDX(nest,6,1)
        {QVX_CDF(nest,6)
return 1; }
}
else
 QVX_CDX(nest,6,2)
    {QVX_CDF(nest,6)
return 0; }
}}

static void *spin(void *arg)
{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP7,QVX_SZ_VECT_COMP7);
QVX_CD1(spin,7)
 {
    long i, both_odd = 0, either = 0;
    {
int qvxbrk = 0;
for (i = 0; i < 100000; i++) {
QVX_CDX(spin,7,1)
 {
        both_odd += QVX_CM_0(0,spin,7,54,0,2,8, (QVX_EVAL_0(0, 0, i % 2) && QVX_EVAL_0(0, 1, i % 3)));
        either += QVX_CM_0(0,spin,7,55,0,2,9, (QVX_EVAL_0(0, 0, i % 2) || QVX_EVAL_0(0, 1, i % 5)));
    }}
if (!qvxbrk) QVX_CDX(spin,7,2)
}
    *(long *)arg = both_odd + either;
    {QVX_CDF(spin,7)
return NULL; }
}}

/* Decisions that do not fit their tables: a condition beyond the
   decision's count (10), a vector of another size (11), more distinct
   vectors than slots (12), decision numbers of no decision or of another
   function's (99, 1). */
static int odd(int v)
{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP8,QVX_SZ_VECT_COMP8);
QVX_CD1(odd,8)
 {
    int r;
    r = QVX_CM_0(0,odd,8,66,0,1,10, (QVX_EVAL_0(0, 0, v > 0) && QVX_EVAL_0(0, 1, v < 5)));
    r += QVX_CM_0(0,odd,8,67,0,3,11, (QVX_EVAL_0(0, 0, v > 2) || QVX_EVAL_0(0, 1, v > 3)));
    r += QVX_CM_0(0,odd,8,68,0,1,12, (v == 0 ? 0 : v == 1 ? QVX_EVAL_0(0, 0, 1) : v == 2 ? QVX_EVAL_0(0, 0, 0) : v == 3 ?  ! QVX_EVAL_0(0, 0, 0) : v == 4 ?  ! QVX_EVAL_0(0, 0, 1) : 1));
    r += QVX_CM_0(0,odd,8,69,0,2,99, (QVX_EVAL_0(0, 0, v) && QVX_EVAL_0(0, 1, v)));
    r += QVX_CM_0(0,odd,8,70,0,2,1, (QVX_EVAL_0(0, 0, v) && QVX_EVAL_0(0, 1, v)));
    {QVX_CDF(odd,8)
return r; }
}}

int main(int argc, char **argv)
{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP9,QVX_SZ_VECT_COMP9);
QVX_CD1(main,9)
 {
    pthread_t threads[4];
    long sums[4];
    int i, v;
    pid_t child;
    (void)argv;
    if (argc == 1) {
QVX_CDX(main,9,1)
 {
        (QVX_CALL(main,9,4,0,2),printf("both %d %d %d\n", (QVX_CALL(main,9,1,1,1),both(1, 0)), (QVX_CALL(main,9,2,1,1),both(1, 1)), (QVX_CALL(main,9,3,1,1),both(0, 1))));
        (QVX_CALL(main,9,7,0,4),printf("drain %d %d\n", (QVX_CALL(main,9,5,2,3),drain(2, 4, 1)), (QVX_CALL(main,9,6,2,3),drain(0, 3, 0))));
        (QVX_CALL(main,9,12,0,6),printf("pair %d %d %d %d\n", (QVX_CALL(main,9,8,3,5),pair("x", 0.5)), (QVX_CALL(main,9,9,3,5),pair(NULL, 2.0)), (QVX_CALL(main,9,10,3,5),pair("x", 0.0)), (QVX_CALL(main,9,11,3,5),pair("x", 1.5))));
        (QVX_CALL(main,9,14,0,8),printf("deep %d\n", (QVX_CALL(main,9,13,4,7),deep(4))));
        (QVX_CALL(main,9,19,0,10),printf("nest %d %d %d %d\n", (QVX_CALL(main,9,15,6,9),nest(0, 1, 1)), (QVX_CALL(main,9,16,6,9),nest(1, 1, 1)), (QVX_CALL(main,9,17,6,9),nest(0, 0, 1)), (QVX_CALL(main,9,18,6,9),nest(0, 1, 0))));
        (QVX_CALL(main,9,20,0,11),printf("marks %d\nodd ", marks));
        {
int qvxbrk = 0;
for (v = 0; v < 6; v++) {
QVX_CDX(main,9,5)
            (QVX_CALL(main,9,22,0,13),printf("%d", (QVX_CALL(main,9,21,8,12),odd(v))));
}
if (!qvxbrk) QVX_CDX(main,9,6)
}
        (QVX_CALL(main,9,23,0,14),printf("\n"));
    }}
else {
QVX_CDX(main,9,2)
 if (argc == 2) {
QVX_CDX(main,9,3)
 {
        {
int qvxbrk = 0;
for (i = 0; i < 4; i++) {
QVX_CDX(main,9,7)
            (QVX_CALL(main,9,24,0,15),pthread_create(&threads[i], NULL, spin, &sums[i]));
}
if (!qvxbrk) QVX_CDX(main,9,8)
}
        {
int qvxbrk = 0;
for (i = 0; i < 4; i++) {
QVX_CDX(main,9,9)
            (QVX_CALL(main,9,25,0,16),pthread_join(threads[i], NULL));
}
if (!qvxbrk) QVX_CDX(main,9,10)
}
        (QVX_CALL(main,9,26,0,17),printf("threads %ld %ld %ld %ld\n", sums[0], sums[1], sums[2], sums[3]));
    }}
else {
QVX_CDX(main,9,4)
 {
        v = (QVX_CALL(main,9,27,1,1),both(1, 0));
        child = (QVX_CALL(main,9,28,0,18),fork());
        if (child == 0) {
QVX_CDX(main,9,11)
 {
            v = (QVX_CALL(main,9,29,1,1),both(0, 0));
            (QVX_CALL(main,9,30,0,19),exit(v));
        }}
else
 QVX_CDX(main,9,12)
        (QVX_CALL(main,9,31,0,20),waitpid(child, &i, 0));
        v = (QVX_CALL(main,9,32,1,1),both(1, 1));
        (QVX_CALL(main,9,33,0,21),printf("fork %d %d\n", v, i));
    }}
}
    {QVX_CDF(main,9)
return 0; }
}}

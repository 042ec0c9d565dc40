#include "edge.inst.h"
/* edge.c, instrumented, with probe numbers beyond the function's counts
   (which count nothing and disturb no other counter) and the
   per-function condition-coverage declaration. */
#include <stdlib.h>

int check(int x)
{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP1,QVX_SZ_VECT_COMP1);
QVX_CD1(check,1)
 {
    if (x > 0) {
QVX_CDX(check,1,1)
 {
QVX_CDX(check,1,3)
QVX_CDX(check,1,-1)
        x = (QVX_CALL(check,1,2,0,2),(QVX_CALL(check,1,1,0,1),abs(x)));
    }}
else
 QVX_CDX(check,1,2)
    {QVX_CDF(check,1)
return x; }
}}

int main(void)
{QVX_MCDC_DEF_0(QVX_CM_NEST_COMP2,QVX_SZ_VECT_COMP2);
QVX_CD1(main,2)
 {
    {QVX_CDF(main,2)
return (QVX_CALL(main,2,1,1,1),check(4)) - 4 + (QVX_CALL(main,2,2,1,1),check(-1)) + 1; }
}}

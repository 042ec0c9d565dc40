#ifndef CALC_H
#define CALC_H

/* Arithmetic of the sample program; main.c and calc.c include this
   header, words.c does not, so touching it rebuilds two objects of three. */
int calc_clamp(int value, int low, int high);
int calc_sum_in_range(const int *values, int count, int low, int high);

#endif

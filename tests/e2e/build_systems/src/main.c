#ifdef HAVE_CONFIG_H
#include "config.h"
#endif
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "calc.h"
#include "words.h"

/* The build defines the scale on the command line. */
#ifndef APP_SCALE
#error APP_SCALE must be defined by the build
#endif

/* Checks its own results: exit status 0 when all of them are right, so
   that the build system's test runner can run it. */
int main(int argc, char **argv)
{
    static const int values[] = {4, -2, 9, 15, 7};
    const char *text = argc > 1 ? argv[1] : "  build systems  run qor_cc ";
    int failures = 0;
    char *first = words_first(text);

    if (calc_clamp(20, 0, 10) != 10 || calc_clamp(-5, 0, 10) != 0)
        failures++;
    if (calc_sum_in_range(values, 5, 0, 10) != 4 + 9 + 7 + 10)
        failures++;
    if (argc == 1 && (words_count(text) != 4 || !first || strcmp(first, "build") != 0))
        failures++;
    printf("scale %d, %d words, first \"%s\", %s\n", APP_SCALE * words_count(text),
           words_count(text), first ? first : "", failures ? "FAILED" : "ok");
    free(first);
    return failures ? EXIT_FAILURE : EXIT_SUCCESS;
}

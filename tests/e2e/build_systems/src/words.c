#ifdef HAVE_CONFIG_H
#include "config.h"
#endif
#include <stdlib.h>
#include <string.h>
#include "words.h"

static int is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

int words_count(const char *text)
{
    int count = 0, inside = 0;
    for (; *text; text++) {
        if (is_blank(*text))
            inside = 0;
        else if (!inside) {
            inside = 1;
            count++;
        }
    }
    return count;
}

/* The first word of TEXT in new storage. configure tells whether the C
   library has strdup; without it the copy is made by hand. */
char *words_first(const char *text)
{
    size_t n = 0;
    char *copy;
    while (is_blank(*text))
        text++;
    while (text[n] && !is_blank(text[n]))
        n++;
#if !defined(HAVE_CONFIG_H) || defined(HAVE_STRDUP)
    copy = strdup(text);
    if (copy)
        copy[n] = '\0';
#else
    copy = malloc(n + 1);
    if (copy) {
        memcpy(copy, text, n);
        copy[n] = '\0';
    }
#endif
    return copy;
}

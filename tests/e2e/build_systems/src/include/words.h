#ifndef WORDS_H
#define WORDS_H

int words_count(const char *text);
char *words_first(const char *text);

#endif

/* A growable string buffer. */
#ifndef STRBUF_H
#define STRBUF_H

#include <stdarg.h>
#include <stddef.h>

struct strbuf {
    size_t len, cap;
    char *buf;
};

#define STRBUF_INIT ((struct strbuf){ .len = 0, .cap = 0, .buf = NULL })

__attribute__((warn_unused_result)) int strbuf_grow(struct strbuf *sb, size_t extra);
int strbuf_addf(struct strbuf *restrict sb, const char *restrict fmt, ...)
    __attribute__((format(printf, 2, 3)));
int strbuf_vaddf(struct strbuf *sb, const char *fmt, va_list ap) __attribute__((format(printf, 2, 0)));
void strbuf_release(struct strbuf *sb);

#endif

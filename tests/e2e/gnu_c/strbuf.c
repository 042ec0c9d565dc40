#include "strbuf.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define alloc_nr(x) (((x) + 16) * 3 / 2)

int strbuf_grow(struct strbuf *sb, size_t extra)
{
    size_t want = sb->len + extra + 1;
    char *p;
    if (want <= sb->cap)
        return 0;
    if (__builtin_add_overflow(sb->len, extra, &want))
        return -EOVERFLOW;
    want = alloc_nr(want);
    p = realloc(sb->buf, want);
    if (!p)
        return -ENOMEM;
    sb->buf = p;
    sb->cap = want;
    return 0;
}

int strbuf_vaddf(struct strbuf *sb, const char *fmt, va_list ap)
{
    va_list cp;
    int len;
    va_copy(cp, ap);
    len = vsnprintf(NULL, 0, fmt, cp);
    va_end(cp);
    if (len < 0 || strbuf_grow(sb, (size_t)len) < 0)
        return -1;
    vsnprintf(sb->buf + sb->len, sb->cap - sb->len, fmt, ap);
    sb->len += (size_t)len;
    return len;
}

int strbuf_addf(struct strbuf *restrict sb, const char *restrict fmt, ...)
{
    va_list ap;
    int len;
    va_start(ap, fmt);
    len = strbuf_vaddf(sb, fmt, ap);
    va_end(ap);
    return len;
}

void strbuf_release(struct strbuf *sb)
{
    free(sb->buf);
    *sb = STRBUF_INIT;
}

char *strbuf_join(const char *const *words, size_t n, char sep)
{
    struct strbuf sb = STRBUF_INIT;
    for (size_t i = 0; i < n; i++)
        if (strbuf_addf(&sb, "%s%c", words[i], i + 1 < n ? sep : '\0') < 0) {
            strbuf_release(&sb);
            return NULL;
        }
    return sb.buf ?: strdup("");
}

// #embed gives the analysis and the instrumented copy the data that the
// compiler reads: the file's bytes as integers, with limit, prefix, suffix
// and if_empty, and __has_embed chooses the same text. The data is this
// file itself, found beside it or, as <embed.c>, through --embed-dir.
// built with: clang-19 -std=gnu23 --embed-dir=.
#include <stdio.h>

static const unsigned char text[] = {
#embed "embed.c"
};

static const int framed[] = {
#embed <embed.c> limit(2) prefix(-1, ) suffix(, -2)
};

static const int fallback[] = {
#embed "embed.c" limit(0) if_empty(42)
};

static unsigned checksum(const unsigned char *bytes, unsigned long size)
{
    unsigned sum = 0;
    for (unsigned long i = 0; i < size; i++)
        sum = sum * 31 + bytes[i];
    return sum;
}

int main(void)
{
#if __has_embed("embed.c") == __STDC_EMBED_FOUND__ && !__has_embed("absent.bin")
    printf("%u %zu %d %d %d %d\n", checksum(text, sizeof text), sizeof framed / sizeof framed[0], framed[0],
           framed[1], framed[3], fallback[0]);
#else
    puts("not found");
#endif
    return 0;
}
// checksum: statements 3, decisions 2
// main: statements 2, decisions 0

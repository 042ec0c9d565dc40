/* Counts the words of a generated text in a hash table and sorts them by
   count: character classes, hashing and a quicksort, whose decisions have
   several conditions. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define TABLE 262144

struct entry {
    char word[16];
    int length;
    long count;
};

static struct entry table[TABLE];
static unsigned long seed = 12345;

static unsigned next_random(void)
{
    seed = seed * 6364136223846793005UL + 1442695040888963407UL;
    return (unsigned)(seed >> 33);
}

static int word_char(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= '0' && c <= '9' && c != '7');
}

static void add(const char *word, int length)
{
    unsigned long h = 14695981039346656037UL;
    int i;
    for (i = 0; i < length; i++)
        h = (h ^ (unsigned char)word[i]) * 1099511628211UL;
    for (h = (h ^ (h >> 29)) % TABLE;; h = (h + 1) % TABLE) {
        struct entry *e = &table[h];
        if (e->length == 0 || (e->length == length && memcmp(e->word, word, (size_t)length) == 0)) {
            if (e->length == 0) {
                memcpy(e->word, word, (size_t)length);
                e->length = length;
            }
            e->count++;
            return;
        }
    }
}

static int before(const struct entry *a, const struct entry *b)
{
    return a->count > b->count || (a->count == b->count && (a->length < b->length ||
                                   (a->length == b->length && memcmp(a->word, b->word, (size_t)a->length) < 0)));
}

static void sort(struct entry *v, long n)
{
    while (n > 1) {
        struct entry pivot = v[n / 2], t;
        long i = 0, j = n - 1;
        while (i <= j) {
            while (before(&v[i], &pivot))
                i++;
            while (before(&pivot, &v[j]))
                j--;
            if (i <= j) {
                t = v[i];
                v[i] = v[j];
                v[j] = t;
                i++;
                j--;
            }
        }
        if (j + 1 < n - i) {
            sort(v, j + 1);
            v += i;
            n -= i;
        } else {
            sort(v + i, n - i);
            n = j + 1;
        }
    }
}

int main(int argc, char **argv)
{
    long size = argc > 1 ? atol(argv[1]) : 20000000;
    static const char alphabet[] = "aaabcdeeefghiiijklmnooopqrstuuuvwxyz_ABC0123456789 ,.;\n";
    char word[16];
    int length = 0;
    long i, used = 0, total = 0;
    for (i = 0; i < size; i++) {
        int c = alphabet[next_random() % (sizeof alphabet - 1)];
        if (word_char(c) && length < 3) {
            word[length++] = (char)c;
        } else if (length > 0) {
            add(word, length);
            length = 0;
        }
    }
    for (i = 0; i < TABLE; i++)
        if (table[i].length > 0)
            table[used++] = table[i];
    sort(table, used);
    for (i = 0; i < used; i++)
        total += table[i].count * (i % 7);
    printf("%ld %ld %.*s %ld\n", used, total, table[0].length, table[0].word, table[0].count);
    return 0;
}

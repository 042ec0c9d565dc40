#include <stdlib.h>
#include "sensor.h"

/* Parses "21.5" or "-3" into tenths of a degree; anything else is invalid. */
reading_t sensor_parse(const char *text)
{
    reading_t r = {0, 0};
    char *end = NULL;
    long whole = strtol(text, &end, 10);
    if (end == text)
        return r;
    r.tenths = (int)(whole * 10);
    if (*end == '.') {
        int digit = end[1] - '0';
        if (digit < 0 || digit > 9)
            return r;
        r.tenths += (text[0] == '-') ? -digit : digit;
        end += 2;
    }
    r.valid = (*end == '\0');
    return r;
}

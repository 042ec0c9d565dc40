#include <stdio.h>
#include "control.h"
#include "sensor.h"

int main(int argc, char **argv)
{
    int i;
    int target = 205;
    for (i = 1; i < argc; i++) {
        reading_t r = sensor_parse(argv[i]);
        if (!r.valid) {
            fprintf(stderr, "%s: not a temperature\n", argv[i]);
            continue;
        }
        printf("%s -> %s\n", argv[i], control_name(control_decide(r.tenths, target, 10)));
    }
    return 0;
}

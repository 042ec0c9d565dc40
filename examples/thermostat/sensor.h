#ifndef SENSOR_H
#define SENSOR_H

/* A temperature reading in tenths of a degree. */
typedef struct {
    int tenths;
    int valid;
} reading_t;

reading_t sensor_parse(const char *text);

#endif

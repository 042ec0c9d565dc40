#ifndef CONTROL_H
#define CONTROL_H

typedef enum { HEAT, IDLE, COOL } action_t;

action_t control_decide(int tenths, int target_tenths, int band_tenths);
const char *control_name(action_t action);

#endif

#include "control.h"

/* Chooses what the plant does: heat below the band, cool above it. */
action_t control_decide(int tenths, int target_tenths, int band_tenths)
{
    if (tenths < target_tenths - band_tenths)
        return HEAT;
    else if (tenths > target_tenths + band_tenths)
        return COOL;
    return IDLE;
}

const char *control_name(action_t action)
{
    switch (action) {
    case HEAT:
        return "heat";
    case COOL:
        return "cool";
    default:
        return "idle";
    }
}

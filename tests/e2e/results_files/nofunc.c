/* only data */
int table[3] = { 1, 2, 3 };
static const char *label = "none";

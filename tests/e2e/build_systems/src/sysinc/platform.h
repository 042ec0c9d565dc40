#ifndef PLATFORM_H
#define PLATFORM_H

/* Reached through a system include directory: the unused parameter below
   draws a warning (an error under -Werror) unless the compiler treats
   this header as a system header. */
static inline int platform_pointer_bytes(int unused)
{
    return (int)sizeof(void *);
}

#endif

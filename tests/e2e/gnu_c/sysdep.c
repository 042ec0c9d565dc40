/* Machine-level code: inline assembly, asm labels, wide integers,
   atomics, thread-local storage and built-ins. */
#include <cpuid.h>
#include <stdatomic.h>
#include <stdint.h>

static _Thread_local int depth;
static __thread uint64_t per_thread_ticks;
static _Atomic unsigned long events;
static atomic_int ready;

extern int sys_rename(const char *, const char *) __asm__("rename");

static inline uint64_t rdtsc(void)
{
    uint32_t lo, hi;
    __asm__ __volatile__("rdtsc" : "=a"(lo), "=d"(hi));
    return ((uint64_t)hi << 32) | lo;
}

static inline void compiler_barrier(void)
{
    asm volatile("" ::: "memory");
}

int has_sse42(void)
{
    unsigned int eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return 0;
    return (ecx & bit_SSE4_2) != 0;
}

uint64_t mul_hi(uint64_t a, uint64_t b)
{
    __uint128_t product = (__uint128_t)a * b;
    return (uint64_t)(product >> 64);
}

int highest_bit(unsigned long x)
{
    return x ? (int)(sizeof(x) * 8 - 1) - __builtin_clzl(x) : -1;
}

void count_event(void)
{
    register unsigned long one __asm__("rcx") = 1;
    atomic_fetch_add_explicit(&events, one, memory_order_relaxed);
    __atomic_store_n(&ready, 1, __ATOMIC_RELEASE);
    __sync_synchronize();
    compiler_barrier();
}

uint64_t elapsed(void (*fn)(void))
{
    uint64_t start = rdtsc();
    ++depth;
    fn();
    --depth;
    per_thread_ticks += rdtsc() - start;
    return per_thread_ticks;
}

int swap_names(const char *a, const char *b)
{
    __auto_type result = sys_rename(a, b);
    static const void *const labels[] __attribute__((unused)) = { 0 };
    _Alignas(16) char scratch[16] = { 0 };
    return result + scratch[0] + (int)atomic_load(&ready);
}

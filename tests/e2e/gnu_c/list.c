#include "list.h"

#include <stdint.h>
#include <stdlib.h>

struct job {
    int priority;
    struct list_head node;
    char tag[];
};

static LIST_HEAD(pending);

void list_del(struct list_head *entry)
{
    entry->next->prev = entry->prev;
    entry->prev->next = entry->next;
    entry->next = entry->prev = NULL;
}

size_t list_count(const struct list_head *head)
{
    size_t n = 0;
    const struct list_head *pos;
    list_for_each(pos, head)
        n++;
    return n;
}

struct job *job_new(int priority)
{
    struct job *job = calloc(1, sizeof(*job) + 8);
    if (unlikely(!job))
        return NULL;
    job->priority = priority;
    list_add_tail(&job->node, &pending);
    return job;
}

struct job *job_first_urgent(int threshold)
{
    struct list_head *pos;
    list_for_each(pos, &pending) {
        struct job *job = list_entry(pos, struct job, node);
        if (likely(job->priority > threshold))
            return job;
    }
    return NULL;
}

void job_drain(void)
{
    while (!list_empty(&pending)) {
        struct job *job = container_of(pending.next, struct job, node);
        list_del(&job->node);
        free(job);
    }
}

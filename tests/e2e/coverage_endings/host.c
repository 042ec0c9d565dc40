/* Loads ./plugin.so, calls plugin_work() three times, unloads the
   library, then ends by SIGKILL when its first argument is "kill", else
   exits. */
#include <dlfcn.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char **argv)
{
    void *plugin = dlopen("./plugin.so", RTLD_NOW);
    int (*work)(int), i, total = 0;
    if (!plugin)
        return 2;
    *(void **)&work = dlsym(plugin, "plugin_work");
    for (i = 0; i < 3; i++)
        total += work(i + 1);
    printf("%d\n", total);
    fflush(stdout);
    dlclose(plugin);
    if (argc > 1 && strcmp(argv[1], "kill") == 0)
        raise(SIGKILL);
    return 0;
}

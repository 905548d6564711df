/* Times whole commands, each started afresh as a script starts it, in
 * turns: round after round every command runs once (the order rotating
 * each round), after one untimed round. Prints each command's median wall
 * time with its minimum and maximum, and its median's ratio to the first
 * command's.
 *   per_call_timing ROUNDS 'COMMAND ARG...' 'COMMAND ARG...' ...
 * A command is split at spaces (no shell); its standard output goes to
 * /dev/null. Any command failing ends the run with status 1. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

static int by_value(const void* a, const void* b) {
    const double x = *(const double*)a;
    const double y = *(const double*)b;
    return (x > y) - (x < y);
}

static char** split(const char* text) {
    char* copy = strdup(text);
    char** words = calloc(strlen(text) + 2, sizeof *words);
    int count = 0;
    for (char* word = strtok(copy, " "); word; word = strtok(NULL, " ")) words[count++] = word;
    return words;
}

/* One run's wall time in milliseconds, or -1 when it failed. */
static double run_once(char** command, const posix_spawn_file_actions_t* actions) {
    struct timespec start, end;
    pid_t child;
    int status;
    clock_gettime(CLOCK_MONOTONIC, &start);
    if (posix_spawnp(&child, command[0], actions, NULL, command, environ) != 0) return -1;
    if (waitpid(child, &status, 0) != child) return -1;
    clock_gettime(CLOCK_MONOTONIC, &end);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return (double)(end.tv_sec - start.tv_sec) * 1e3 + (double)(end.tv_nsec - start.tv_nsec) / 1e6;
}

int main(int argc, char** argv) {
    if (argc < 3 || atoi(argv[1]) < 1) {
        fprintf(stderr, "usage: per_call_timing ROUNDS 'COMMAND ARG...' ...\n");
        return 2;
    }
    const int rounds = atoi(argv[1]);
    const int count = argc - 2;
    char*** commands = calloc((size_t)count, sizeof *commands);
    double* times = calloc((size_t)count * (size_t)rounds, sizeof *times);
    for (int i = 0; i < count; ++i) commands[i] = split(argv[i + 2]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

    for (int round = -1; round < rounds; ++round) {
        for (int k = 0; k < count; ++k) {
            const int i = (k + (round < 0 ? 0 : round)) % count;
            const double ms = run_once(commands[i], &actions);
            if (ms < 0) {
                fprintf(stderr, "per_call_timing: failed: %s\n", argv[i + 2]);
                return 1;
            }
            if (round >= 0) times[(size_t)i * (size_t)rounds + (size_t)round] = ms;
        }
    }

    double first = 0;
    printf("%10s %10s %10s %8s  command (%d rounds in turn)\n", "median ms", "min", "max", "ratio",
           rounds);
    for (int i = 0; i < count; ++i) {
        double* t = times + (size_t)i * (size_t)rounds;
        qsort(t, (size_t)rounds, sizeof *t, by_value);
        const double median = rounds % 2 ? t[rounds / 2] : (t[rounds / 2 - 1] + t[rounds / 2]) / 2;
        if (i == 0) first = median;
        printf("%10.3f %10.3f %10.3f %8.2f  %s\n", median, t[0], t[rounds - 1], median / first,
               argv[i + 2]);
    }
    return 0;
}

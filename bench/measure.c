/* measure OUTPUT COMMAND [ARG...]: runs COMMAND with its standard output sent to OUTPUT and
 * prints "SECONDS PEAK_KIB CPU_SECONDS": the wall-clock time from start to exit (monotonic
 * clock), the peak resident memory of the command and the processor time it used (user and
 * system). On a busy machine the processor time is the steadier of the two. Exits with the
 * command's status (1 if it did not run). */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: measure OUTPUT COMMAND [ARG...]\n");
    return 2;
  }
  int output = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (output < 0) {
    perror(argv[1]);
    return 1;
  }
  struct timespec start, stop;
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t child = fork();
  if (child < 0) {
    perror("fork");
    return 1;
  }
  if (child == 0) {
    dup2(output, STDOUT_FILENO);
    close(output);
    execvp(argv[2], argv + 2);
    perror(argv[2]);
    _exit(127);
  }
  close(output);
  int status = 0;
  struct rusage usage;
  if (wait4(child, &status, 0, &usage) < 0) {
    perror("wait4");
    return 1;
  }
  clock_gettime(CLOCK_MONOTONIC, &stop);
  double seconds = (double)(stop.tv_sec - start.tv_sec) + (stop.tv_nsec - start.tv_nsec) / 1e9;
  double cpu = (double)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  printf("%.6f %ld %.6f\n", seconds, usage.ru_maxrss, cpu);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

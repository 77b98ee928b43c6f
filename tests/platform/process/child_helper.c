/* A child for the process tests: child_helper REPORT MODE [ARG...].
 * It writes its arguments ("arg:" lines) and open descriptors ("fd:" lines) to REPORT
 * (unless it is "-"), renamed into place once complete, then acts by MODE:
 * "exit N" ends with N, "wait" waits for a signal, "ignore-term" does so ignoring SIGTERM. */
#include <dirent.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static void Report(const char* path, int argc, char** argv) {
    char temporary[4096];
    snprintf(temporary, sizeof temporary, "%s.part", path);
    FILE* out = fopen(temporary, "w");
    if (out == NULL) exit(99);
    for (int i = 0; i < argc; ++i)
        fprintf(out, "arg:%s\n", argv[i]);
    DIR* fds = opendir("/proc/self/fd");
    if (fds != NULL) {
        struct dirent* entry;
        while ((entry = readdir(fds)) != NULL) {
            if (entry->d_name[0] == '.') continue;
            int fd = atoi(entry->d_name);
            /* The listing's own descriptor and the report's are ours. */
            if (fd == dirfd(fds) || fd == fileno(out)) continue;
            fprintf(out, "fd:%d\n", fd);
        }
        closedir(fds);
    }
    fclose(out);
    rename(temporary, path);
}

int main(int argc, char** argv) {
    if (argc < 3) return 98;
    if (strcmp(argv[1], "-") != 0) Report(argv[1], argc, argv);
    if (strcmp(argv[2], "exit") == 0) return argc > 3 ? atoi(argv[3]) : 0;
    if (strcmp(argv[2], "ignore-term") == 0) signal(SIGTERM, SIG_IGN);
    for (;;)
        pause();
}

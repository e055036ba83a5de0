// A fault planted on one file, for the Windows suites under wine: preloaded into wine's processes
// (LD_PRELOAD), it makes a real system call on that file fail, so that the program meets the
// failure through the real Windows API, with the code wine gives it.
//
// To plant one, a test writes an errno number into FILE.fail-CALL, beside FILE: the next CALL
// (fstat or pwrite) that a Windows program makes on a descriptor of FILE fails with that errno,
// once, and the plant is removed. wineserver makes its own calls on the file (opening it, for
// one) and is left alone. Without a plant, every call goes through unchanged.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

// The errno planted for `call` on the file behind `fd`, or 0; a plant is taken once.
static int Planted(int fd, const char* call) {
    if (strncmp(program_invocation_short_name, "wineserver", 10) == 0)
        return 0;
    char link[32], plant[4200];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, plant, 4096);
    if (length <= 0)
        return 0;
    snprintf(plant + length, sizeof plant - (size_t)length, ".fail-%s", call);
    const int file = open(plant, O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return 0;
    char text[16] = {0};
    const ssize_t got = read(file, text, sizeof text - 1);
    close(file);
    return got > 0 && unlink(plant) == 0 ? atoi(text) : 0; // of two threads, one takes it
}

int fstat(int fd, struct stat* info) {
    static int (*next)(int, struct stat*);
    if (!next)
        next = (int (*)(int, struct stat*))dlsym(RTLD_NEXT, "fstat");
    const int error = Planted(fd, "fstat");
    if (error) {
        errno = error;
        return -1;
    }
    return next(fd, info);
}

ssize_t pwrite(int fd, const void* bytes, size_t size, off_t offset) {
    static ssize_t (*next)(int, const void*, size_t, off_t);
    if (!next)
        next = (ssize_t(*)(int, const void*, size_t, off_t))dlsym(RTLD_NEXT, "pwrite");
    const int error = Planted(fd, "pwrite");
    if (error) {
        errno = error;
        return -1;
    }
    return next(fd, bytes, size, offset);
}

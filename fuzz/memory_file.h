// One in-memory file for a fuzzer's whole run, for readers that take a path.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

class MemoryFile {
public:
    explicit MemoryFile(const char* name) : fd_(memfd_create(name, 0)), path_("/proc/self/fd/" + std::to_string(fd_)) {
        if (fd_ < 0) stop("no memory file");
    }
    const std::string& path() const { return path_; }
    // The file holds exactly these bytes.
    void write(const uint8_t* data, size_t size) const {
        if (ftruncate(fd_, 0) != 0 || pwrite(fd_, data, size, 0) != ssize_t(size)) stop("cannot write the input");
    }

private:
    [[noreturn]] static void stop(const char* what) {
        std::fprintf(stderr, "memory file: %s\n", what);
        std::abort();
    }
    int fd_;
    std::string path_;
};

#pragma once

#include <sys/types.h>

namespace zqw {

// The system calls through which a save can be refused by the disk. Saves
// make them through these pointers so that a test can make one of them fail
// as a full, read-only or failing disk would, while everything else in the
// save runs as it does for the user. The program itself never changes them.
struct SaveCalls {
    // mkostemp: a new temporary file from a name pattern.
    int (*createTemporary)(char* pattern, int flags);
    // open without O_CREAT: an existing file, to write it in place.
    int (*openExisting)(const char* path, int flags);
    ssize_t (*write)(int fd, const void* bytes, size_t count);
    int (*truncate)(int fd, off_t size);
    int (*flush)(int fd);  // fsync
    int (*rename)(const char* from, const char* to);
};

// The calls saves make: the system's own unless a test put in others.
extern SaveCalls saveCalls;

}  // namespace zqw

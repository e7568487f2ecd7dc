#ifndef ORVANE_TESTS_TRUST_FULLDISK_H
#define ORVANE_TESTS_TRUST_FULLDISK_H

// A full disk for SQLite, without needing one: a VFS that wraps the default one and, while the
// disk is "full", answers every write and growth of the database and its journals with
// SQLITE_FULL, as a disk without free space would. Registered as the default VFS, so every
// connection opened afterwards (the program's included) goes through it.

#include <sqlite3.h>

#include <cstring>

namespace FullDisk {

struct File {
    sqlite3_file base;
    sqlite3_file *real; // the wrapped file, allocated right after this struct
};

inline bool &full()
{
    static bool value = false;
    return value;
}
// Writes still to refuse after the disk is no longer full: a disk that runs full for a moment
// (another program freed space), so the statements after the failing one find room again.
inline int &briefly()
{
    static int value = 0;
    return value;
}
inline int &refusedWrites()
{
    static int value = 0;
    return value;
}
inline sqlite3_vfs *&realVfs()
{
    static sqlite3_vfs *vfs = nullptr;
    return vfs;
}

inline sqlite3_file *real(sqlite3_file *file)
{
    return reinterpret_cast<File *>(file)->real;
}

inline int close(sqlite3_file *file)
{
    return real(file)->pMethods->xClose(real(file));
}
inline int read(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset)
{
    return real(file)->pMethods->xRead(real(file), buffer, amount, offset);
}
inline int write(sqlite3_file *file, const void *buffer, int amount, sqlite3_int64 offset)
{
    if (full() || briefly() > 0) {
        if (briefly() > 0)
            --briefly();
        ++refusedWrites();
        return SQLITE_FULL;
    }
    return real(file)->pMethods->xWrite(real(file), buffer, amount, offset);
}
inline int truncate(sqlite3_file *file, sqlite3_int64 size)
{
    return real(file)->pMethods->xTruncate(real(file), size);
}
inline int sync(sqlite3_file *file, int flags)
{
    return real(file)->pMethods->xSync(real(file), flags);
}
inline int fileSize(sqlite3_file *file, sqlite3_int64 *size)
{
    return real(file)->pMethods->xFileSize(real(file), size);
}
inline int lock(sqlite3_file *file, int level)
{
    return real(file)->pMethods->xLock(real(file), level);
}
inline int unlock(sqlite3_file *file, int level)
{
    return real(file)->pMethods->xUnlock(real(file), level);
}
inline int checkReservedLock(sqlite3_file *file, int *out)
{
    return real(file)->pMethods->xCheckReservedLock(real(file), out);
}
inline int fileControl(sqlite3_file *file, int op, void *arg)
{
    return real(file)->pMethods->xFileControl(real(file), op, arg);
}
inline int sectorSize(sqlite3_file *file)
{
    return real(file)->pMethods->xSectorSize(real(file));
}
inline int deviceCharacteristics(sqlite3_file *file)
{
    return real(file)->pMethods->xDeviceCharacteristics(real(file));
}

// Version 1 methods only: no shared memory (no WAL) and no memory mapping, which the
// program does not use.
inline const sqlite3_io_methods *methods()
{
    static sqlite3_io_methods io = {1,
                                    close,
                                    read,
                                    write,
                                    truncate,
                                    sync,
                                    fileSize,
                                    lock,
                                    unlock,
                                    checkReservedLock,
                                    fileControl,
                                    sectorSize,
                                    deviceCharacteristics,
                                    nullptr,
                                    nullptr,
                                    nullptr,
                                    nullptr,
                                    nullptr,
                                    nullptr};
    return &io;
}

inline int open(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    auto *wrapper = reinterpret_cast<File *>(file);
    wrapper->real = reinterpret_cast<sqlite3_file *>(wrapper + 1);
    const int rc = realVfs()->xOpen(realVfs(), name, wrapper->real, flags, outFlags);
    // Without methods SQLite calls no xClose; with them it always does.
    wrapper->base.pMethods = wrapper->real->pMethods ? methods() : nullptr;
    return rc;
}

// Installs the VFS once; later calls only return.
inline void install()
{
    static sqlite3_vfs vfs;
    if (realVfs())
        return;
    realVfs() = sqlite3_vfs_find(nullptr);
    std::memcpy(&vfs, realVfs(), sizeof(vfs));
    vfs.zName = "orvane-full-disk";
    vfs.szOsFile = int(sizeof(File)) + realVfs()->szOsFile;
    vfs.xOpen = open;
    sqlite3_vfs_register(&vfs, 1);
}

} // namespace FullDisk

#endif

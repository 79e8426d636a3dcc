#include "support/faultvfs.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>

namespace {

sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_vfs;
std::atomic<int> g_countdown{0}; // calls left before the failure; 0 = disarmed
std::atomic<bool> g_persistent{false};
std::atomic<bool> g_fired{false};

// True when this write, sync or truncate is to fail.
bool failNow() {
    if (g_fired.load() && g_persistent.load()) return true;
    int left = g_countdown.load();
    while (left > 0) {
        if (g_countdown.compare_exchange_weak(left, left - 1)) {
            if (left == 1) {
                g_fired.store(true);
                return true;
            }
            return false;
        }
    }
    return false;
}

struct FaultFile {
    sqlite3_file base;
    sqlite3_file* real; // follows this struct in the same allocation
};

sqlite3_file* real(sqlite3_file* f) { return reinterpret_cast<FaultFile*>(f)->real; }

int xClose(sqlite3_file* f) { return real(f)->pMethods->xClose(real(f)); }
int xRead(sqlite3_file* f, void* buf, int n, sqlite3_int64 off) { return real(f)->pMethods->xRead(real(f), buf, n, off); }
int xWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off) {
    if (failNow()) return SQLITE_IOERR_WRITE;
    return real(f)->pMethods->xWrite(real(f), buf, n, off);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    if (failNow()) return SQLITE_IOERR_TRUNCATE;
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file* f, int flags) {
    if (failNow()) return SQLITE_IOERR_FSYNC;
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) { return real(f)->pMethods->xFileSize(real(f), size); }
int xLock(sqlite3_file* f, int lock) { return real(f)->pMethods->xLock(real(f), lock); }
int xUnlock(sqlite3_file* f, int lock) { return real(f)->pMethods->xUnlock(real(f), lock); }
int xCheckReservedLock(sqlite3_file* f, int* out) { return real(f)->pMethods->xCheckReservedLock(real(f), out); }
int xFileControl(sqlite3_file* f, int op, void* arg) { return real(f)->pMethods->xFileControl(real(f), op, arg); }
int xSectorSize(sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); }
int xDeviceCharacteristics(sqlite3_file* f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); }
int xShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    return real(f)->pMethods->xShmMap(real(f), region, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) { return real(f)->pMethods->xShmLock(real(f), offset, n, flags); }
void xShmBarrier(sqlite3_file* f) { real(f)->pMethods->xShmBarrier(real(f)); }
int xShmUnmap(sqlite3_file* f, int deleteFlag) { return real(f)->pMethods->xShmUnmap(real(f), deleteFlag); }
int xFetch(sqlite3_file* f, sqlite3_int64 off, int n, void** out) { return real(f)->pMethods->xFetch(real(f), off, n, out); }
int xUnfetch(sqlite3_file* f, sqlite3_int64 off, void* p) { return real(f)->pMethods->xUnfetch(real(f), off, p); }

// One table per version of the methods, so that the wrapper offers exactly
// what the wrapped file offers.
constexpr sqlite3_io_methods methods(int version) {
    return {version,   xClose, xRead,   xWrite,   xTruncate,   xSync,      xFileSize,
            xLock,     xUnlock, xCheckReservedLock, xFileControl, xSectorSize, xDeviceCharacteristics,
            xShmMap,   xShmLock, xShmBarrier, xShmUnmap, xFetch, xUnfetch};
}
const sqlite3_io_methods kMethods[] = {methods(1), methods(2), methods(3)};

int vOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* ff = reinterpret_cast<FaultFile*>(f);
    ff->real = reinterpret_cast<sqlite3_file*>(ff + 1);
    const int rc = g_real->xOpen(g_real, name, ff->real, flags, outFlags);
    // The wrapper is closed through its methods only when the real file opened.
    const sqlite3_io_methods* m = ff->real->pMethods;
    ff->base.pMethods = m ? &kMethods[m->iVersion < 1 ? 0 : m->iVersion > 3 ? 2 : m->iVersion - 1] : nullptr;
    return rc;
}
int vDelete(sqlite3_vfs*, const char* name, int syncDir) { return g_real->xDelete(g_real, name, syncDir); }
int vAccess(sqlite3_vfs*, const char* name, int flags, int* out) { return g_real->xAccess(g_real, name, flags, out); }
int vFullPathname(sqlite3_vfs*, const char* name, int n, char* out) { return g_real->xFullPathname(g_real, name, n, out); }
void* vDlOpen(sqlite3_vfs*, const char* name) { return g_real->xDlOpen(g_real, name); }
void vDlError(sqlite3_vfs*, int n, char* msg) { g_real->xDlError(g_real, n, msg); }
void (*vDlSym(sqlite3_vfs*, void* h, const char* sym))(void) { return g_real->xDlSym(g_real, h, sym); }
void vDlClose(sqlite3_vfs*, void* h) { g_real->xDlClose(g_real, h); }
int vRandomness(sqlite3_vfs*, int n, char* out) { return g_real->xRandomness(g_real, n, out); }
int vSleep(sqlite3_vfs*, int us) { return g_real->xSleep(g_real, us); }
int vCurrentTime(sqlite3_vfs*, double* t) { return g_real->xCurrentTime(g_real, t); }
int vGetLastError(sqlite3_vfs*, int n, char* msg) { return g_real->xGetLastError(g_real, n, msg); }
int vCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t) { return g_real->xCurrentTimeInt64(g_real, t); }

} // namespace

namespace FaultVfs {

void install() {
    if (g_real) return;
    g_real = sqlite3_vfs_find(nullptr);
    std::memset(&g_vfs, 0, sizeof g_vfs);
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = int(sizeof(FaultFile)) + g_real->szOsFile;
    g_vfs.mxPathname = g_real->mxPathname;
    g_vfs.zName = "fault";
    g_vfs.xOpen = vOpen;
    g_vfs.xDelete = vDelete;
    g_vfs.xAccess = vAccess;
    g_vfs.xFullPathname = vFullPathname;
    g_vfs.xDlOpen = vDlOpen;
    g_vfs.xDlError = vDlError;
    g_vfs.xDlSym = vDlSym;
    g_vfs.xDlClose = vDlClose;
    g_vfs.xRandomness = vRandomness;
    g_vfs.xSleep = vSleep;
    g_vfs.xCurrentTime = vCurrentTime;
    g_vfs.xGetLastError = vGetLastError;
    g_vfs.xCurrentTimeInt64 = vCurrentTimeInt64;
    sqlite3_vfs_register(&g_vfs, 1);
}

void arm(int n, bool persistent) {
    g_fired.store(false);
    g_persistent.store(persistent);
    g_countdown.store(n);
}

bool disarm() {
    g_countdown.store(0);
    g_persistent.store(false);
    return g_fired.exchange(false);
}

} // namespace FaultVfs

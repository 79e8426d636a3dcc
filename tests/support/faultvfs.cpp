#include "support/faultvfs.h"

#include <sqlite3.h>

#include <atomic>

namespace {

sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_vfs;
std::atomic<int> g_countdown{0}; // calls left before the failure; 0 = disarmed
std::atomic<bool> g_persistent{false};
std::atomic<bool> g_fired{false};

// True when this write, sync or truncate is to fail.
bool failNow() {
    if (g_fired.load() && g_persistent.load()) return true;
    // Below zero (calls racing past the failure) counts as disarmed, as zero does.
    if (g_countdown.load() <= 0 || g_countdown.fetch_sub(1) != 1) return false;
    g_fired.store(true);
    return true;
}

struct FaultFile {
    sqlite3_file base;
    sqlite3_file* real; // follows this struct in the same allocation
};

sqlite3_file* real(sqlite3_file* f) { return reinterpret_cast<FaultFile*>(f)->real; }

// Passes a call on to the wrapped file's method M; with a failure code, fails it first when due.
template <auto M, int Failure = 0, typename... A>
auto pass(sqlite3_file* f, A... a) {
    if constexpr (Failure != 0)
        if (failNow()) return Failure;
    return (real(f)->pMethods->*M)(real(f), a...);
}

// One table per version of the methods, so that the wrapper offers exactly
// what the wrapped file offers.
using Io = sqlite3_io_methods;
constexpr Io methods(int version) {
    return {version, pass<&Io::xClose>, pass<&Io::xRead>, pass<&Io::xWrite, SQLITE_IOERR_WRITE>,
            pass<&Io::xTruncate, SQLITE_IOERR_TRUNCATE>, pass<&Io::xSync, SQLITE_IOERR_FSYNC>, pass<&Io::xFileSize>,
            pass<&Io::xLock>, pass<&Io::xUnlock>, pass<&Io::xCheckReservedLock>, pass<&Io::xFileControl>,
            pass<&Io::xSectorSize>, pass<&Io::xDeviceCharacteristics>, pass<&Io::xShmMap>, pass<&Io::xShmLock>,
            pass<&Io::xShmBarrier>, pass<&Io::xShmUnmap>, pass<&Io::xFetch>, pass<&Io::xUnfetch>};
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

} // namespace

namespace FaultVfs {

void install() {
    if (g_real) return;
    g_real = sqlite3_vfs_find(nullptr);
    // Everything but opening a file is the default VFS's own, called with its own state.
    g_vfs = *g_real;
    g_vfs.szOsFile = int(sizeof(FaultFile)) + g_real->szOsFile;
    g_vfs.zName = "fault";
    g_vfs.xOpen = vOpen;
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

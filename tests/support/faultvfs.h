#pragma once
// A VFS wrapped around SQLite's default one, registered as the default of the
// test process, that fails the Nth write, sync or truncate of any file (the
// database, its journal, temporary files). The store needs no change to be
// tested under it: every connection opened after install() goes through it.
namespace FaultVfs {

// Registers the VFS as the default (once; later calls do nothing).
void install();
// From now on, the nth write, sync or truncate (1-based) fails with an I/O error.
// A persistent fault fails every such call after the nth as well.
void arm(int n, bool persistent = false);
// No more failures; returns true when a failure was injected since arm().
bool disarm();

} // namespace FaultVfs

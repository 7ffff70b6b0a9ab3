#pragma once

// Gives the memory the program freed back to the system. The C library keeps freed blocks
// in its arenas for the next allocation; after a site window with its pages has gone, tens
// of megabytes stayed with the program that way.
void ReleaseFreedMemory();

// Keeps the blocks of a few megabytes that drawing allocates and frees many times a second
// (a window's picture, copied for the screen on every update) in the program's heap, for the
// next allocation to reuse. Given back to the system, each of them came back as fresh pages,
// and touching those cost more than the copy itself. What is kept goes back with
// ReleaseFreedMemory. Call once, before the application starts.
void ReuseFreedMemory();

class QObject;

// The same, 2, 8 and 20 seconds from now while context lives: the engine lets go of a page or
// a window's pages over the next seconds, longer on a slow machine. A later call replaces the
// steps still to come.
void ReleaseFreedMemoryLater(QObject* context);

#pragma once

// Gives the memory the program freed back to the system. The C library keeps freed blocks
// in its arenas for the next allocation; after a site window with its pages has gone, tens
// of megabytes stayed with the program that way.
void ReleaseFreedMemory();

class QObject;

// The same, 2, 8 and 20 seconds from now while context lives: the engine lets go of a page or
// a window's pages over the next seconds, longer on a slow machine. A later call replaces the
// steps still to come.
void ReleaseFreedMemoryLater(QObject* context);

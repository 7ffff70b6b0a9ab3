#pragma once

// Gives the memory the program freed back to the system. The C library keeps freed blocks
// in its arenas for the next allocation; after a site window with its pages has gone, tens
// of megabytes stayed with the program that way.
void ReleaseFreedMemory();

#pragma once
// Gives the pages of memory freed after a large load back to the system, where the C library
// would keep them for later allocations; does nothing where it cannot.
void ReturnFreedMemory();

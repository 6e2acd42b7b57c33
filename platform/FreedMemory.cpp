#include "platform/FreedMemory.h"

#include <cstdlib> // brings in the C library's features, so __GLIBC__ is known below

#ifdef __GLIBC__
#include <malloc.h>
#endif

void ReturnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

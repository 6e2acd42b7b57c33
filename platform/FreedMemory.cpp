#include "platform/FreedMemory.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

void ReturnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

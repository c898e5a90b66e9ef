#pragma once

#include <QtGlobal>

#include <malloc.h>

// The bytes the test's thread holds from the heap now: what malloc handed out
// from its main arena and in mappings of their own, and has not had back. The
// growth across a step, while what the step built is still held, is the
// memory that step keeps.
inline qint64 heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

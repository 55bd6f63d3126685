// workers.h - the threads that draw a frame together.
//
// The fast render pass hands out bands of columns; runparallel spreads such
// numbered jobs over the calling thread and RenderThreads − 1 helpers. The
// helpers are started on first use, then wait for the next frame; they live
// until the process ends and never allocate, lock a caller's data or fail.
//
//   RenderThreads         threads per frame: 0 means one per core (the default)
//   renderthreads()       the number RenderThreads stands for, at least 1
//   runparallel(n, job)   job(i) for i = 0 .. n − 1, in any order, on any of the threads;
//                         returns when all are done
#pragma once

#include <cstdint>

extern int32_t RenderThreads;

using BandJob = void (*)(int32_t index);

int32_t renderthreads();
void runparallel(int32_t count, BandJob job);

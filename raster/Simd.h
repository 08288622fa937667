#pragma once

// The vector loops are compiled for their instruction set function by function, so the rest of
// the program still runs on any x86-64: the kernel tables hand AVX2 loops out only where the CPU
// reports AVX2. Only x86-64 builds compile the files that use it.
#define TINDREL_AVX2 __attribute__((target("avx2")))

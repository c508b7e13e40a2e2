#pragma once
// VANTREL_PIXEL_LOOP marks a function that only walks pixels: the fuzzing
// build leaves it out of coverage instrumentation, whose comparison tracing
// would otherwise cost a call per pixel and slow every run down to the size
// of the picture rather than the shape of the input. No effect elsewhere.

#if defined(__clang__) && defined(VANTREL_FUZZING)
#define VANTREL_PIXEL_LOOP __attribute__((no_sanitize("coverage")))
#else
#define VANTREL_PIXEL_LOOP
#endif

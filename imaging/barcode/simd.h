// Whether the barcode walks judge element widths with SSE2, several at a time. Every such path
// has a scalar twin that gives the same answers; PIXDOC_SCALAR_WALKS takes the twins everywhere,
// so that the tests also run the code machines without SSE2 run.
#pragma once

#if defined(__SSE2__) && !defined(PIXDOC_SCALAR_WALKS)
#define PIXDOC_SSE2_WALKS 1
#include <emmintrin.h>
#endif

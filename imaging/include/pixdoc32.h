/* pixdoc32: the imaging library's public interface.
 *
 * Plain C exports. Every export returns a small integer: 0 is success, the searches return 32
 * when no barcode was found, other values are described with each function. Library-wide
 * options and state serve one caller thread at a time.
 */
#ifndef PIXDOC32_H
#define PIXDOC32_H

#include <stdint.h>

#ifdef __cplusplus
#define PIXDOC_EXTERN_C extern "C"
#else
#define PIXDOC_EXTERN_C
#endif

#if defined(_WIN32)
#ifdef PIXDOC32_BUILDING
#define PIXDOC_API PIXDOC_EXTERN_C __declspec(dllexport)
#else
#define PIXDOC_API PIXDOC_EXTERN_C __declspec(dllimport)
#endif
#else
#define PIXDOC_API PIXDOC_EXTERN_C __attribute__((visibility("default")))
#endif

/* ---- Ordinal table: callers bind by ordinal through this lookup (pixdoc32_ordinals.h). ---- */

/* The exported name bound to an ordinal, or NULL when the ordinal is not in use. */
PIXDOC_API const char* PX_GetExportName(int32_t ordinal);
/* The function bound to an ordinal, or NULL: the by-ordinal binding callers use. */
PIXDOC_API void* PX_GetExportByOrdinal(int32_t ordinal);

/* ---- Colour decoder error codes (imaging/colour) ---- */

/* The library-wide colour error code left by the last colour header read or colour decode. */
PIXDOC_API int32_t PX_GetColorError(void);
/* The fixed English text for a colour error code; never NULL. */
PIXDOC_API const char* PX_GetColorErrorText(int32_t code);

#endif /* PIXDOC32_H */

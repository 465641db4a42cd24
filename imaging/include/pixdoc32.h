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

/* ---- Ordinal table: callers bind by ordinal through this lookup. The ordinals are listed in
 * imaging/exports/ordinal_table.cpp, and at run time by PX_GetExportName. ---- */

/* The exported name bound to an ordinal, or NULL when the ordinal is not in use. */
PIXDOC_API const char* PX_GetExportName(int32_t ordinal);
/* The function bound to an ordinal, or NULL: the by-ordinal binding callers use. */
PIXDOC_API void* PX_GetExportByOrdinal(int32_t ordinal);

/* ---- Image file headers (imaging/files) ---- */

/* Compression codes of ImageHeader.compression: the bilevel codings (256 added for a bilevel
 * TIFF page stored in several strips), then the colour and grey containers. */
enum PixdocCompressionCode {
    PX_CODE_GROUP3_1D = 0,
    PX_CODE_GROUP4 = 1,
    PX_CODE_GROUP3_2D = 2,
    PX_CODE_UNCOMPRESSED = 3,
    PX_CODE_GROUP3_2D_NO_EOL = 4,
    PX_CODE_MODIFIED_HUFFMAN = 5,
    PX_CODE_PCX = 7,
    PX_CODE_PACKBITS = 10, /* the last bilevel coding */
    PX_CODE_MULTI_STRIP = 256,
    PX_CODE_BMP = 1024, /* the first colour container */
    PX_CODE_GIF = 1025,
    PX_CODE_COLOUR_PCX = 1026,
    PX_CODE_JPEG_COLOUR = 1027,
    PX_CODE_JPEG_GREY = 1028,
    PX_CODE_COLOUR_TIFF = 1029
};

/* Strip table of a bilevel TIFF page stored in several strips; the page's data offset field
 * refers to it and its compression code has 256 added. Each array holds strip_count + 5
 * entries. */
typedef struct PixdocStripTable {
    int32_t rows_per_strip;      /* TIFF RowsPerStrip */
    int32_t strip_count;         /* number of strips (entries of StripOffsets) */
    int32_t current_strip;       /* decoder working field: strip being read */
    int32_t strip_bytes_left;    /* decoder working field: bytes of that strip still unread */
    uint32_t* strip_offsets;     /* byte offset of each strip */
    uint32_t* strip_byte_counts; /* byte count of each strip */
} PixdocStripTable;

/* One opened page. Callers zero it; OpenImageHeader fills the header part, the bilevel
 * decoder keeps its state in the rest. Fields are 32-bit except pointers and data_offset. */
typedef struct ImageHeader {
    int32_t handle;              /* file or memory handle used while the header was read */
    intptr_t data_offset;        /* byte offset of the image data; a PixdocStripTable* when the
                                    compression code has 256 added (pointer-sized on purpose) */
    int32_t width;               /* pixels per row */
    int32_t height;              /* rows */
    int32_t output_width;        /* output rectangle width in output pixels (decoder, window) */
    int32_t output_height;       /* output rectangle height */
    int32_t horizontal_scale;    /* output pixels per 2048 source pixels; 2048 is 1:1 */
    int32_t vertical_scale;      /* output rows per 2048 source rows */
    int32_t first_column;        /* left edge of the rectangle in source pixels */
    int32_t first_row;           /* top edge of the rectangle in source rows */
    int32_t x_resolution;        /* dots per inch across */
    int32_t y_resolution;        /* dots per inch down */
    int32_t output_x_resolution; /* used when fitting an area in a window */
    int32_t output_y_resolution; /* used when fitting an area in a window */
    int32_t decode_flags;        /* bit 0 set-up needed, 5 budget given, 6 chunk given, 7 no fit */
    int32_t compression;         /* a PixdocCompressionCode, with 256 added for several strips */
    int32_t fill_order;          /* 0: first pixel in the most significant bit; 1: least */
    int32_t orientation;         /* quarter turns to show the page upright: 0..3 */
    int32_t options;             /* bilevel decoding options; bits per pixel on colour pages */
    /* Decoding state, owned by the bilevel decoder. */
    int32_t visible_source_width;  /* source columns that map into the rectangle */
    int32_t visible_source_height; /* source rows that map into the rectangle */
    int32_t rows_delivered;        /* output rows delivered so far, this band included */
    int32_t current_source_line;   /* source lines decoded */
    int32_t band_rows;             /* rows in the band just delivered */
    uint8_t* band_buffer;          /* output band */
    uint8_t* input_buffer;         /* coded input */
    int32_t band_bytes;            /* size of band_buffer */
    int32_t input_bytes;           /* size of input_buffer */
    int16_t* current_line;         /* change list being decoded */
    int16_t* reference_line;       /* change list of the previous line */
    int32_t* column_map;           /* output column for every source column */
    uint8_t* turn_buffer;          /* scratch band for orientations 1..3 */
    int32_t bytes_in_buffer;       /* valid bytes in input_buffer */
    int32_t read_position;         /* next byte of input_buffer to read */
    int32_t vertical_accumulator;  /* in 2048ths of an output row */
    int32_t bit_accumulator;       /* bit reader state between lines */
    int32_t bit_count;             /* valid bits in bit_accumulator */
    int32_t end_reached;           /* last line decoded or decoding stopped */
    int32_t row_bytes;             /* output row size in bytes */
    int32_t band_capacity;         /* rows per band */
    int32_t lines_skipped;         /* source lines decoded while seeking the first row */
    int32_t output_row_width;      /* output width, exchanged for orientations 1 and 3 */
    int32_t output_row_count;      /* output height, exchanged for orientations 1 and 3 */
    int32_t error_line;            /* source line at which decoding stopped */
    int32_t error_code;            /* line decoder result at which decoding stopped */
    int32_t byte_budget;           /* bytes of coded data still to be read */
    int32_t refill_chunk;          /* bytes read per refill, 8192 unless given */
    int32_t memory_handles[4];     /* the decoder's allocated blocks */
    int32_t data_byte_count;       /* bytes of image data of a single-strip page, 0 if unknown */
} ImageHeader;

/* Reads the header of page `page` (from 1) of an image file or special name into `header`
 * (zeroed by the caller). 0: recognised; 1: no name, page below 1, or not opened; 2: no
 * format matched. `reserved` is not used. The file is closed again before return. */
PIXDOC_API int32_t OpenImageHeader(int32_t reserved, const char* name, int32_t page,
                                   ImageHeader* header);
/* Number of pages of a file (1 for files no page-count rule knows); -1 when the name is
 * missing or cannot be opened; -2 without memory. Repeated calls for an unchanged file are
 * answered from a cache. */
PIXDOC_API int32_t GetTiffPages(const char* name);
/* Width and height of a page: 0, or 1 when the header cannot be read (outputs untouched). */
PIXDOC_API int32_t PXGetImageInfo(const char* name, int32_t page, int32_t* width, int32_t* height);
/* The page's header values and the negative flag: 0, or 1 when the header cannot be read.
 * The data offset of a multi-strip page is that of its first strip. Null outputs are skipped. */
PIXDOC_API int32_t PXGetImageInfoExtended(const char* name, int32_t page, int32_t* width,
                                          int32_t* height, int32_t* data_offset,
                                          int32_t* x_resolution, int32_t* y_resolution,
                                          int32_t* compression, int32_t* fill_order,
                                          int32_t* negative);
/* The page's data byte count (0 when the container gives none), or -1 when the header cannot
 * be read. */
PIXDOC_API int32_t PXGetImageSize(const char* name, int32_t page);
/* As PXGetImageInfoExtended, then copies the page's data (data byte count bytes from the data
 * offset) unchanged into `output` (created or truncated; "MD:" writes to memory). 0 done;
 * 1 header not read or source not opened; 2 output not created; 3 no byte count or no memory;
 * 4 short read or write. */
PIXDOC_API int32_t PXGetImageInfoAndImage(const char* name, int32_t page, int32_t* width,
                                          int32_t* height, int32_t* data_offset,
                                          int32_t* x_resolution, int32_t* y_resolution,
                                          int32_t* compression, int32_t* fill_order,
                                          int32_t* negative, const char* output);

/* ---- Bilevel decoding (imaging/decode/bilevel) ---- */

/* Decodes a bilevel page into bands of the output rectangle described by the header (output
 * size, scales in 2048ths, first column and row, orientation, options). The caller opens the
 * page's file into header->handle, sets decode_flags to 1 and calls until 16 or 8:
 * 4: a band is ready (band_rows rows of row_bytes bytes in band_buffer, first pixel in the most
 *    significant bit, 1 black, ending at output row rows_delivered);
 * 16: every output row has been delivered and the decoder's memory is released;
 * 8: set-up failed (bad geometry or scale, no memory, no data); nothing stays allocated. */
PIXDOC_API int32_t Decompress(ImageHeader* header);
/* The rectangle of the turned output that the band just delivered covers, by orientation:
 * x, y offset, width and height. 0, or 1 for a null argument. */
PIXDOC_API int32_t RotateCoordinates(const ImageHeader* header, int32_t* x, int32_t* y,
                                     int32_t* width, int32_t* height);
/* Reverses the bit order of every byte. 0. */
PIXDOC_API int32_t XchgBytes(uint8_t* buffer, int32_t count);
/* Inverts every byte. 0. */
PIXDOC_API int32_t InvertBytes(uint8_t* buffer, int32_t count);

/* ---- Bilevel compression writer (imaging/encode) ---- */

/* The compression record: the caller owns it, fills the first six fields (and K and the
 * minimum line length where its coding uses them) and passes it to every call; the writer keeps
 * its state in the rest. Between CompressionStart (or CompressionReStart) and CompressEnd it
 * holds the writer's buffers. */
typedef struct CompressionRecord {
    char target_name[256];    /* output file path, or "MEMORYDIRECT" for output to memory;
                                 "MEMORYDIRECT,<n>" stores at most n bytes in all */
    int32_t coding;           /* 0 Group 3 one-dimensional with EOLs; 1 Group 4; 2 Group 3
                                 two-dimensional (a one-dimensional line every K); 4 Group 3
                                 two-dimensional with an EOL on the first two lines only;
                                 5 modified Huffman, rows byte-aligned; 6 Group 4 with
                                 uncompressed mode where shorter; 7 PCX run length; 9 accepted,
                                 codes nothing */
    int32_t width;            /* pixels per row, 1 to 30000 */
    intptr_t start;           /* file: byte offset of the coded data; memory: address of the
                                 next byte stored, advanced as bytes are delivered (pointer-sized
                                 on purpose) */
    int32_t bit_reversal;     /* not 0: every delivered byte is bit-reversed (fill order 2) */
    int32_t k;                /* coding 2: a one-dimensional line every K lines; below 1: 4 */
    int32_t min_line_bits;    /* coding 0: a line with its EOL is filled up to this many bits;
                                 clamped to 0..1024 by the start */
    int32_t line_counter;     /* lines coded since the start */
    int32_t file_handle;      /* output file handle, -1 for memory output */
    int32_t k_counter;        /* coding 2: position within the K cycle */
    int16_t* reference_line;  /* the previous row as a change list (NULL for codings 0, 5, 7) */
    int16_t* current_line;    /* the current row as a change list: ascending positions of
                                 colour changes ended by copies of the width */
    uint8_t* alternative_buffer; /* coding 6: the line coded again with uncompressed mode */
    uint8_t* output_buffer;      /* coded bytes not yet delivered */
    int32_t bytes_pending;       /* bytes in output_buffer not yet delivered */
    uint32_t bit_accumulator;    /* bits not yet stored as a whole word, first bit in bit 31 */
    int32_t bit_count;           /* how many: 0..31 */
    int32_t bytes_delivered;     /* bytes written to the file or memory since the start */
    int32_t previous_line_bits;  /* coding 0: bits of the previous line with its EOL */
} CompressionRecord;

/* Validates the record, opens the target (OpenCompressionFile at `start`, unless it is memory)
 * and takes the buffers. 0; 1 the coding is refused, the width is outside 1..30000 or the file
 * cannot be opened and positioned; 3 no memory for the change lists; 4 no memory for the output
 * or alternative buffer. A failed start holds nothing and leaves the target untouched when the
 * record itself was refused. */
PIXDOC_API int32_t CompressionStart(CompressionRecord* record);
/* Codes one row of `width` pixels ((width + 7) / 8 bytes are read, first pixel in the most
 * significant bit, 1 black) and delivers whole 4096-byte blocks. Returns the bytes still pending
 * (below 4096); after a short write, the count that write returned, with bytes_pending staying
 * at 4096 or more (the next call or CompressEnd tries the same bytes again, at the same place);
 * the coding itself for coding 9; -1 for a missing record or row, a record not started, or no
 * memory to hold the line (it was not coded). */
PIXDOC_API int32_t CompressLine(CompressionRecord* record, const uint8_t* row);
/* Writes the end-of-page codes, delivers every pending byte and releases the buffers (the file
 * stays open: close it with CloseCompressionFile). 0; 1 the record was not started; 2 a write
 * fell short (bytes_delivered counts what was delivered). */
PIXDOC_API int32_t CompressEnd(CompressionRecord* record);
/* Goes back to the state after CompressionStart so that the page is coded again over the same
 * place: a file is sought back to `start`, memory output moves `start` back by the bytes
 * delivered. 0; 1 the seek failed or the record has no target; 3 or 4 as CompressionStart. */
PIXDOC_API int32_t CompressionReStart(CompressionRecord* record);

/* The writer's file layer. OpenCompressionFile creates or truncates `path` for reading and
 * writing and seeks to `offset`: a handle, or -1 (also when the seek does not land there).
 * WriteCompressionFile returns the bytes written; SeekCompressionFile the new position (-1 on
 * failure); CloseCompressionFile 0 for the handle -1, else the close result (0 or -1). */
PIXDOC_API int32_t OpenCompressionFile(const char* path, int32_t offset);
PIXDOC_API int32_t WriteCompressionFile(int32_t handle, const void* buffer, int32_t count);
PIXDOC_API int32_t SeekCompressionFile(int32_t handle, int32_t offset);
PIXDOC_API int32_t CloseCompressionFile(int32_t handle);

/* ---- Image clean-up (imaging/cleanup) ---- */

/* Turns page 1 of a bilevel image by a slope and writes it as a new one-strip Group 4 TIFF
 * file: minimum-is-white, the input's size and resolution, white where the turned page leaves
 * the canvas; `output` may name the input (it is replaced only when complete).
 * Sign convention: rise and run are page pixels with rows counted downwards, so a positive
 * rise / run is a line that descends to the right, as after a clockwise turn of the page. The
 * page is turned counter-clockwise by atan(rise / run) about its centre, which makes such a
 * line horizontal; a negative slope turns it clockwise.
 * `reserved1` and `reserved2` are not used: pass 0.
 * 0 written; 1 page 1 of the input cannot be read; 2 run is 0; 3 no memory; 4 the output cannot
 * be written (nothing is left behind); 400 a colour page. */
PIXDOC_API int32_t ManualSkewCorrect(const char* input, const char* output, int32_t rise,
                                     int32_t run, int32_t reserved1, int32_t reserved2);

/* ---- Barcode search (imaging/barcode) ---- */

/* Options: library-wide, 0 when the library is loaded, kept for later searches. Each setter
 * stores its argument and returns 0, except where said. */
/* 1: every read is followed by "<start,end,line,symbology,threshold>"; other values: not. */
PIXDOC_API int32_t PXinSeekBarCodeInsertData(int32_t insert_data);
/* Above 0: a read within this many lines of an earlier one at the same place is a duplicate;
 * 0: duplicates are judged by text. A negative value is refused with 1, the setting kept. */
PIXDOC_API int32_t BarcodeMultipleSetZoneHeight(int32_t zone_height);
/* Non-zero: never retry a failed decoder with single-pixel merging. */
PIXDOC_API int32_t PXinSeekBarCodeNoSingleBits(int32_t no_single_bits);
/* Non-zero: leave the read-backwards mark (bit 7 of the first character) in the result. */
PIXDOC_API int32_t PXinSeekBarCodeLeaveInvertFlag(int32_t leave_invert_flag);
/* The Codabar minimum character count. */
PIXDOC_API int32_t PXinSeekBarCodeSetCodabarMinSize(int32_t minimum);
/* Non-zero: Code 128 reads are accepted without their check character. */
PIXDOC_API int32_t PXinSeekBarCode128NoCheckSum(int32_t no_checksum);
/* Non-zero: the adaptive search, for bilevel and colour pages. Every decoder is also called with
 * the thresholds the symbol's own start pattern gives; a read stands only with quiet zones on
 * both sides and one scale across the symbol, and for symbologies without a check character
 * once a second line agrees; a symbol is given once however tall; and the colour search
 * chooses its grey threshold from the page when given 128. 0 (the default): the search as
 * always. */
PIXDOC_API int32_t PXinSeekBarCodeAdaptive(int32_t adaptive);
/* The status of the last search: 1 without filling anything when it found nothing, else 0. */
PIXDOC_API int32_t PX_GetBarCodeStatus(int32_t* start_column, int32_t* end_column, int32_t* line,
                                       int32_t* reversed, int32_t* threshold);
/* Searches page `page` (from 1) of a bilevel image for barcodes of the symbologies in `mask`
 * (1 Code 39, 2 interleaved 2 of 5, 4 Code 128, 8 Codabar, 16 UPC-A, 32 EAN-13, 64 Code 93,
 * 128 IATA 2 of 5, 256 Code 93 type 2, 512 Code 39 without start/stop, 1024 EAN-8) inside the
 * rectangle x1, y1, x2, y2 (the whole page if x1 >= x2 or y1 >= y2). direction 0 scans rows,
 * 1 the page turned a quarter, others rows through a bitmap. The reads go to `result` (emptied
 * when `result_size` > 0) one after another, each framed by "*" and, when the insert-data
 * option is 1, followed by "<start,end,line,symbology,threshold>". Returns 0 when a read was
 * accepted, 1 header or file failure, 2 empty mask, 3 not a bilevel page, 4 decoder set-up or
 * memory failure, 32 nothing found. */
PIXDOC_API int32_t PXinSeekBarCode(const char* file_name, int16_t page, int16_t x1, int16_t y1,
                                   int16_t x2, int16_t y2, int16_t direction, int16_t mask,
                                   int16_t threshold, int16_t threshold2, int16_t span,
                                   int16_t min_length, int16_t max_results, char* result,
                                   int16_t result_size);
/* How far the symbol of the last successful search leans, on page 1 of `name`: its first and
 * last bar are followed upward from the status's start and end columns at its line number,
 * and rise = the rows between their tops (last minus first), run = the columns between them;
 * rise / run follows ManualSkewCorrect's sign convention (positive: the symbol descends to the
 * right). 0 measured; 1 the page or the file cannot be read; 2 no successful search since the
 * last one began; 8 no memory for the page bitmap; 400 a colour page. */
PIXDOC_API int32_t PX_FindBarcodeSkew(const char* name, int32_t* rise, int32_t* run);
/* Measures as PX_FindBarcodeSkew and writes page 1 of `input` straightened by that slope to
 * `output` with ManualSkewCorrect (an upright symbol's page is first copied as it is). 0
 * written; 1 no measurement, or a run of 0; 3 the output cannot be written. */
PIXDOC_API int32_t PX_DeskewBarCode(const char* input, const char* output);
/* Code 39 on one page: the first read inside the rectangle, trying `threshold` and then
 * thresholds lowered and raised by 1, 2, ... up to `retries` (lowered ones below 3 skipped).
 * The read comes without position and without read-backwards mark (the status keeps it).
 * 0 found, 1 header or file failure, 3 or 4 decoder failure, 5 nothing found, 400 colour
 * page. The plain form searches page 1. */
PIXDOC_API int32_t PXinSeekBarCode3of9(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                       int16_t y2, int16_t threshold, int16_t retries,
                                       char* result, int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCode3of9Ex(const char* name, int16_t page, int16_t x1, int16_t y1,
                                         int16_t x2, int16_t y2, int16_t threshold,
                                         int16_t retries, char* result, int16_t result_size);
/* Code 39, every read in the result text form of PXinSeekBarCode (options apply; `retries`
 * is the threshold span). Results as PXinSeekBarCode3of9. */
PIXDOC_API int32_t PXinSeekBarCode3of9Multiple(const char* name, int16_t x1, int16_t y1,
                                               int16_t x2, int16_t y2, int16_t threshold,
                                               int16_t retries, int16_t max_results,
                                               char* result, int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCode3of9MultipleEx(const char* name, int16_t page, int16_t x1,
                                                 int16_t y1, int16_t x2, int16_t y2,
                                                 int16_t threshold, int16_t retries,
                                                 int16_t max_results, char* result,
                                                 int16_t result_size);
/* Reads the page's first Code 39 symbol at `threshold`, line by line. `header` is filled by
 * OpenImageHeader and its handle field holds the page's file opened by the caller; `text`
 * holds 128 bytes. 0 read, 32 nothing found, 8 the line decoder could not be set up. */
PIXDOC_API int32_t Barcode39(ImageHeader* header, char* text, int32_t threshold,
                             int32_t* start_column, int32_t* end_column);

/* The older single-symbology searches of interleaved 2 of 5, Code 128, Codabar and EAN/UPC:
 * the same arguments and results as the Code 39 forms above. For Code 128 and EAN/UPC the
 * threshold is the width of one symbol character in pixels (the second threshold of
 * PXinSeekBarCode); for 2 of 5 and Codabar the narrow/wide threshold. Code 128 data comes
 * framed by asterisks like every other read. */
PIXDOC_API int32_t PXinSeekBarCode2of5(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                       int16_t y2, int16_t threshold, int16_t retries, char* result,
                                       int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCode2of5Ex(const char* name, int16_t page, int16_t x1, int16_t y1,
                                         int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                         char* result, int16_t result_size);
/* The same on page 1 of an image file held in memory (`image_size` bytes at `image`). */
PIXDOC_API int32_t PXinSeekBarCode2of5Memory(const void* image, int32_t image_size, int16_t x1,
                                             int16_t y1, int16_t x2, int16_t y2,
                                             int16_t threshold, int16_t retries, char* result,
                                             int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCode2of5Multiple(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                               int16_t y2, int16_t threshold, int16_t retries,
                                               int16_t max_results, char* result,
                                               int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCode2of5MultipleEx(const char* name, int16_t page, int16_t x1,
                                                 int16_t y1, int16_t x2, int16_t y2,
                                                 int16_t threshold, int16_t retries,
                                                 int16_t max_results, char* result,
                                                 int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCode128(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                      int16_t y2, int16_t threshold, int16_t retries, char* result,
                                      int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCode128Ex(const char* name, int16_t page, int16_t x1, int16_t y1,
                                        int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                        char* result, int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCode128Multiple(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                              int16_t y2, int16_t threshold, int16_t retries,
                                              int16_t max_results, char* result,
                                              int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCode128MultipleEx(const char* name, int16_t page, int16_t x1,
                                                int16_t y1, int16_t x2, int16_t y2,
                                                int16_t threshold, int16_t retries,
                                                int16_t max_results, char* result,
                                                int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCodabar(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                      int16_t y2, int16_t threshold, int16_t retries, char* result,
                                      int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCodabarEx(const char* name, int16_t page, int16_t x1, int16_t y1,
                                        int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                        char* result, int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCodabarMultiple(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                              int16_t y2, int16_t threshold, int16_t retries,
                                              int16_t max_results, char* result,
                                              int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCodabarMultipleEx(const char* name, int16_t page, int16_t x1,
                                                int16_t y1, int16_t x2, int16_t y2,
                                                int16_t threshold, int16_t retries,
                                                int16_t max_results, char* result,
                                                int16_t result_size);

/* One EAN/UPC read (EAN-13, UPC-A as EAN-13 with its leading 0, or EAN-8). */
typedef struct PixdocEanResult {
    char digits[16];      /* the digits, check digit included, NUL-terminated (13 or 8) */
    int32_t symbology;    /* 32 EAN-13 (UPC-A included), 1024 EAN-8 */
    int32_t start_column; /* first column of the start guard */
    int32_t end_column;   /* first white column after the end guard */
    int32_t line;         /* 1-based page row of the read */
    int32_t reversed;     /* 1: read from the symbol's right end (printed upside down) */
    int32_t threshold;    /* digit width in pixels at which it was read */
} PixdocEanResult;

/* EAN/UPC on one page: the first read into `ean` (zeroed first), with the threshold retry of
 * the Code 39 form. Results as PXinSeekBarCode3of9. */
PIXDOC_API int32_t PXinSeekBarCodeEAN(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                      int16_t y2, int16_t threshold, int16_t retries,
                                      PixdocEanResult* ean);
PIXDOC_API int32_t PXinSeekBarCodeEANEx(const char* name, int16_t page, int16_t x1, int16_t y1,
                                        int16_t x2, int16_t y2, int16_t threshold, int16_t retries,
                                        PixdocEanResult* ean);
PIXDOC_API int32_t PXinSeekBarCodeEANMultiple(const char* name, int16_t x1, int16_t y1, int16_t x2,
                                              int16_t y2, int16_t threshold, int16_t retries,
                                              int16_t max_results, char* result,
                                              int16_t result_size);
PIXDOC_API int32_t PXinSeekBarCodeEANMultipleEx(const char* name, int16_t page, int16_t x1,
                                                int16_t y1, int16_t x2, int16_t y2,
                                                int16_t threshold, int16_t retries,
                                                int16_t max_results, char* result,
                                                int16_t result_size);
/* Whole-page searches like Barcode39: interleaved 2 of 5 at the narrow/wide threshold, Code
 * 128 and EAN-13/UPC-A at the character width. Same results. */
PIXDOC_API int32_t Barcode25(ImageHeader* header, char* text, int32_t threshold,
                             int32_t* start_column, int32_t* end_column);
PIXDOC_API int32_t Barcode128(ImageHeader* header, char* text, int32_t threshold,
                              int32_t* start_column, int32_t* end_column);
PIXDOC_API int32_t BarcodeEAN(ImageHeader* header, char* text, int32_t threshold,
                              int32_t* start_column, int32_t* end_column);

/* ---- Colour decoder error codes (imaging/colour) ---- */

/* The library-wide colour error code left by the last colour header read or colour decode. */
PIXDOC_API int32_t PX_GetColorError(void);
/* The fixed English text for a colour error code; never NULL. */
PIXDOC_API const char* PX_GetColorErrorText(int32_t code);

/* ---- Colour edit buffer (imaging/colour) ---- */

/* Starts the library's one 24-bit edit buffer of width x height pixels, every pixel set to
 * (red, green, blue) (a height below 1 leaves them unset), and sets the barcode search's working
 * resolution to 200. 0; 1 when a buffer already exists; 2 when the memory cannot be had. */
PIXDOC_API int32_t PX_StartColorEdit(int32_t width, int32_t height, int32_t red, int32_t green,
                                     int32_t blue);
/* Renders page `page` of an image file into the buffer: the source rectangle (left, top,
 * right, bottom, right and bottom exclusive) scaled into the destination rectangle. A
 * destination left or top of -1, or a right or bottom below 1, means the whole buffer; a
 * negative, too small (below 32 x 32) or misplaced source means the whole page. 0 merged;
 * 1 no buffer; 2 destination rectangle invalid; 3 page not recognised or file not opened;
 * 4 no memory; 5 colour container header unreadable; 6 decoding failed (see PX_GetColorError).
 * Rows written before a failure stay in the buffer. */
PIXDOC_API int32_t PX_ColorEditMergeImageEx(const char* name, int32_t page, int32_t source_left,
                                            int32_t source_top, int32_t source_right,
                                            int32_t source_bottom, int32_t destination_left,
                                            int32_t destination_top, int32_t destination_right,
                                            int32_t destination_bottom);
/* Frees the buffer: 0, or 1 when no buffer exists. `reserved` is not used. */
PIXDOC_API int32_t PX_ColorEditEnd(int32_t reserved);
/* The buffer's width or height, 0 when no buffer exists. */
PIXDOC_API int32_t PX_ColorEditGetWidth(int32_t reserved);
PIXDOC_API int32_t PX_ColorEditGetHeight(int32_t reserved);
/* Searches the buffer for barcodes as PXinSeekBarCode searches a page, with the same options,
 * result text and status: the rectangle x1 .. x2 - 1, y1 .. y2 - 1 (x1 or y1 of -1: the whole
 * buffer), direction 0 along its rows (line number = row), any other along its columns (line
 * number = column, read downward); a pixel is black when its luminance (0.299 R + 0.587 G +
 * 0.114 B, 255 for white) is at most `grey_threshold`. Thresholds below 2 (first) and 1 (second)
 * take the defaults of the working resolution. 0 found; 1 no buffer; 2 rectangle outside the
 * buffer or mask 0; 3 no memory; 32 nothing found (the status's valid flag is left as it was).
 * Read-backwards marks are cleared into the status in both directions unless the leave-invert
 * option is set. */
PIXDOC_API int32_t PX_ColorEditSeekBarCode(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                           int32_t direction, int32_t mask, int32_t threshold,
                                           int32_t threshold2, int32_t span, int32_t min_length,
                                           int32_t max_results, char* result, int32_t result_size,
                                           int32_t grey_threshold);

/* ---- Image window (imaging/window) ---- */

/* A native window of the installed window host (pixdoc32_window_host.h): an opaque value of
 * that host, 0 for none. */
typedef uintptr_t PixdocWindow;

/* A caller function kept in one of a window's eight slots. Slot 5 is called at the end of every
 * repaint that no window export is running with (window, 15, 0, 0); the result is not used. */
typedef int32_t (*PixdocWindowCallback)(PixdocWindow window, int32_t message, intptr_t parameter1,
                                        intptr_t parameter2);

/* Up to 32 windows live at a time. Every export below works on the caller's current window:
 * the one made or chosen last for the owner of the most recently used window (the host says who
 * owns a window). While one of them runs, PX_StartImageWindow, PX_SetImageMultPage and
 * PX_SetImageWindow called from within it (a callback, a host function) are refused with their
 * operation-in-progress result; the others work on the window already in use. */

/* Makes an image window and makes it current. kind below 1: a top-level window with scroll bars
 * and a sizing frame at (x, y, width, height), captioned unless kind is -1701; kind 1 or more: a
 * child of `parent` at (x, y, width, height), or over the parent's whole client area when x or y
 * is negative, width is below 1 or height below 1. 0 made; 1 no memory or the host could not
 * make it; 2 already 32 windows; 3 a window operation is in progress. */
PIXDOC_API int32_t PX_StartImageWindow(PixdocWindow parent, int32_t kind, int32_t x, int32_t y,
                                       int32_t width, int32_t height);
/* PX_SetImageMultPage(name, 1). */
PIXDOC_API int32_t PX_SetImagePage(const char* name);
/* Shows page `page` (from 1) of an image file fitted into the window; a top-level window is
 * titled "name    [page of pages]", or "NO IMAGE" when nothing could be loaded. The window
 * repaints when asked (PX_PaintImage). 0 shown; 1 no window or an operation in progress; 2 the
 * page could not be opened (nothing stays loaded). */
PIXDOC_API int32_t PX_SetImageMultPage(const char* name, int32_t page);
/* Fits the area (left, top)-(right, bottom) of the page, in page pixels, into the window keeping
 * the page's physical proportions, and repaints. 0; 1 no window or no page loaded. */
PIXDOC_API int32_t PX_SetDisplayImageArea(int32_t left, int32_t top, int32_t right,
                                          int32_t bottom);
/* Asks for a repaint: mode 1701 without erasing, 4321 without erasing and at once, any other
 * mode with erasing. 0; 1 no window or nothing loaded. */
PIXDOC_API int32_t PX_PaintImage(int32_t mode);
/* Zooms the current window by factor / 2048 (4096 doubles the size) around the centre of the
 * view, the scales held within 16 .. 32000, and repaints. 0; 1 no window or no page loaded. */
PIXDOC_API int32_t PX_ZoomImage(int32_t factor);
/* Decoding options of reduced bilevel pages: bit 0 ORs source rows into their output row, bit 1
 * keeps thin black runs; a mode of 4 or more hands the choice back to the window. 0; 1 no
 * window. */
PIXDOC_API int32_t PX_SetImageScaling(int32_t mode);
/* The current window's native handle, or 0. */
PIXDOC_API PixdocWindow PX_GetImageWindowHandle(void);
/* Makes the window with this native handle current for its owner. 0; 1 unknown handle or an
 * operation in progress. */
PIXDOC_API int32_t PX_SetImageWindow(PixdocWindow window);
/* Keeps `function` in slot 0..7 of the current window. 0; 1 no window or slot out of range. */
PIXDOC_API int32_t PX_SetCallback(int32_t slot, PixdocWindowCallback function);
/* Empties slot 0..7 of the current window. 0; 1 no window or slot out of range. */
PIXDOC_API int32_t PX_ClearCallback(int32_t slot);
/* The tick count (milliseconds, wrapping) recorded in a slot of the current window at the end
 * of its last repaint (slot 5), or 0 for an unused slot, one out of range or no window. */
PIXDOC_API int32_t PX_ReportCallbackTime(int32_t slot);

#endif /* PIXDOC32_H */

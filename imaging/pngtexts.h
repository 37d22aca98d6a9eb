// The PNG picture's error classes and their fixed English texts. Every class
// derives directly from the toolkit's Exception, never from another PNG error,
// so that callers can tell failures apart by class alone.
#pragma once

#include <string>

#include "toolkit/exception.h"

namespace zorbalin {

// The string table: the texts are part of the program's behaviour and are kept
// byte for byte, spelling included.
extern const char* const TextInvalidFileHeader;
extern const char* const TextUnexpectedEnd;
extern const char* const TextIHDRNotFirst;
extern const char* const TextUnknownCriticalChunk;
extern const char* const TextInvalidCRC;
extern const char* const TextInvalidIHDR;
extern const char* const TextSizeExceeds;
extern const char* const TextUnknownCompression;
extern const char* const TextUnknownInterlace;
extern const char* const TextInvalidPalette;
extern const char* const TextMissingMultipleIDAT;
extern const char* const TextZLIBError;
extern const char* const TextNoImageData;
extern const char* const TextHeaderNotPresent;
extern const char* const TextOutMemory;
extern const char* const TextInvalidNewSize;
extern const char* const TextExistentCriticalChunk;
extern const char* const TextInvalidImageForNewChunk;
extern const char* const TextChunksNotCompatible;
extern const char* const TextNoSuchPaletteEntry;

// The zlib status text appended to TextZLIBError, e.g. "data error (-3)".
std::string ZlibStatusText(int status);

// Declares an error class whose message is always the same text. Callers tell the
// classes apart by type; none derives from another.
#define ZORBALIN_PNG_ERROR(ClassName, TextName)                                                    \
    class ClassName : public Exception {                                                           \
      public:                                                                                      \
        ClassName() : Exception(TextName) {}                                                       \
    };

ZORBALIN_PNG_ERROR(EPNGInvalidFileHeader, TextInvalidFileHeader)
ZORBALIN_PNG_ERROR(EPngUnexpectedEnd, TextUnexpectedEnd)
ZORBALIN_PNG_ERROR(EPNGIHDRNotFirst, TextIHDRNotFirst)
ZORBALIN_PNG_ERROR(EPNGUnknownCriticalChunk, TextUnknownCriticalChunk)
ZORBALIN_PNG_ERROR(EPngInvalidCRC, TextInvalidCRC)
ZORBALIN_PNG_ERROR(EPngInvalidIHDR, TextInvalidIHDR)
ZORBALIN_PNG_ERROR(EPNGSizeExceeds, TextSizeExceeds)
ZORBALIN_PNG_ERROR(EPNGUnknownCompression, TextUnknownCompression)
ZORBALIN_PNG_ERROR(EPNGUnknownInterlace, TextUnknownInterlace)
ZORBALIN_PNG_ERROR(EPNGInvalidPalette, TextInvalidPalette)
ZORBALIN_PNG_ERROR(EPNGMissingMultipleIDAT, TextMissingMultipleIDAT)
ZORBALIN_PNG_ERROR(EPNGNoImageData, TextNoImageData)
ZORBALIN_PNG_ERROR(EPNGHeaderNotPresent, TextHeaderNotPresent)
ZORBALIN_PNG_ERROR(EPNGOutMemory, TextOutMemory)
ZORBALIN_PNG_ERROR(EPNGInvalidNewSize, TextInvalidNewSize)

#undef ZORBALIN_PNG_ERROR

// Inflate failed; the message ends with zlib's status text.
class EPNGZLIBError : public Exception {
  public:
    explicit EPNGZLIBError(int zlibStatus)
        : Exception(std::string(TextZLIBError) + ZlibStatusText(zlibStatus)) {}
};

// The general error of chunk handling; its text says which rule was broken.
class EPngError : public Exception {
  public:
    explicit EPngError(const char* text) : Exception(text) {}
};

} // namespace zorbalin

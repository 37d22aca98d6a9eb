// The PNG picture's error classes and their fixed English texts. Every class
// derives directly from the toolkit's Exception, never from another PNG error,
// so that callers can tell failures apart by class alone.
#pragma once

#include <string>

#include "toolkit/exception.h"

namespace zorbalin {

// The string table: the texts are part of the program's behaviour and are kept
// byte for byte, spelling included.
extern const char* const kTextInvalidFileHeader;
extern const char* const kTextUnexpectedEnd;
extern const char* const kTextIhdrNotFirst;
extern const char* const kTextUnknownCriticalChunk;
extern const char* const kTextInvalidCrc;
extern const char* const kTextInvalidIhdr;
extern const char* const kTextSizeExceeds;
extern const char* const kTextUnknownCompression;
extern const char* const kTextUnknownInterlace;
extern const char* const kTextInvalidPalette;
extern const char* const kTextMissingMultipleIdat;
extern const char* const kTextZlibError;
extern const char* const kTextNoImageData;
extern const char* const kTextHeaderNotPresent;
extern const char* const kTextOutMemory;
extern const char* const kTextInvalidNewSize;
extern const char* const kTextExistentCriticalChunk;
extern const char* const kTextInvalidImageForNewChunk;
extern const char* const kTextChunksNotCompatible;
extern const char* const kTextNoSuchPaletteEntry;

// The zlib status text appended to TextZLIBError, e.g. "data error (-3)".
std::string ZlibStatusText(int Status);

// Declares an error class whose message is always the same text. Callers tell the
// classes apart by type; none derives from another. A class name cannot stand in parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZORBALIN_PNG_ERROR(ClassName, TextName)                                                    \
    class ClassName : public Exception {                                                           \
      public:                                                                                      \
        ClassName() : Exception(TextName) {}                                                       \
    };
// NOLINTEND(bugprone-macro-parentheses)

ZORBALIN_PNG_ERROR(EPNGInvalidFileHeader, kTextInvalidFileHeader)
ZORBALIN_PNG_ERROR(EPngUnexpectedEnd, kTextUnexpectedEnd)
ZORBALIN_PNG_ERROR(EPNGIHDRNotFirst, kTextIhdrNotFirst)
ZORBALIN_PNG_ERROR(EPNGUnknownCriticalChunk, kTextUnknownCriticalChunk)
ZORBALIN_PNG_ERROR(EPngInvalidCRC, kTextInvalidCrc)
ZORBALIN_PNG_ERROR(EPngInvalidIHDR, kTextInvalidIhdr)
ZORBALIN_PNG_ERROR(EPNGSizeExceeds, kTextSizeExceeds)
ZORBALIN_PNG_ERROR(EPNGUnknownCompression, kTextUnknownCompression)
ZORBALIN_PNG_ERROR(EPNGUnknownInterlace, kTextUnknownInterlace)
ZORBALIN_PNG_ERROR(EPNGInvalidPalette, kTextInvalidPalette)
ZORBALIN_PNG_ERROR(EPNGMissingMultipleIDAT, kTextMissingMultipleIdat)
ZORBALIN_PNG_ERROR(EPNGNoImageData, kTextNoImageData)
ZORBALIN_PNG_ERROR(EPNGHeaderNotPresent, kTextHeaderNotPresent)
ZORBALIN_PNG_ERROR(EPNGOutMemory, kTextOutMemory)
ZORBALIN_PNG_ERROR(EPNGInvalidNewSize, kTextInvalidNewSize)

#undef ZORBALIN_PNG_ERROR

// Inflate failed; the message ends with zlib's status text.
class EPNGZLIBError : public Exception {
  public:
    explicit EPNGZLIBError(int ZlibStatus)
        : Exception(std::string(kTextZlibError) + ZlibStatusText(ZlibStatus)) {}
};

// The general error of chunk handling; its text says which rule was broken.
class EPngError : public Exception {
  public:
    explicit EPngError(const char* Text) : Exception(Text) {}
};

} // namespace zorbalin

#include "imaging/pngtexts.h"

namespace zorbalin {

const char* const TextInvalidFileHeader =
    "The file being readed is not a valid \"Portable Network Graphics\" image because it "
    "contains an invalid header. This file may be corruped, try obtaining it again.";
const char* const TextUnexpectedEnd =
    "This \"Portable Network Graphics\" image is invalid because the decoder found an "
    "unexpected end of the file.";
const char* const TextIHDRNotFirst =
    "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n"
    "(IHDR chunk is not the first)";
const char* const TextUnknownCriticalChunk =
    "This \"Portable Network Graphics\" image contains an unknown critical part which could "
    "not be decoded.";
const char* const TextInvalidCRC =
    "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces "
    "of data (crc error)";
const char* const TextInvalidIHDR =
    "The \"Portable Network Graphics\" image could not be loaded because one of its main piece "
    "of data (ihdr) might be corrupted";
const char* const TextSizeExceeds =
    "This \"Portable Network Graphics\" image is not supported because either it's width or "
    "height exceeds the maximum size, which is 65535 pixels length.";
const char* const TextUnknownCompression =
    "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme "
    "which could not be decoded.";
const char* const TextUnknownInterlace =
    "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could not "
    "be decoded.";
const char* const TextInvalidPalette =
    "The \"Portable Network Graphics\" image contains an invalid palette.";
const char* const TextMissingMultipleIDAT =
    "This \"Portable Network Graphics\" image is invalid because it has missing image parts.";
const char* const TextZLIBError =
    "Could not decompress the image because it contains invalid compressed data.\r\n"
    " Description: ";
const char* const TextNoImageData = "This \"Portable Network Graphics\" image contains no data.";
const char* const TextHeaderNotPresent =
    "This operation is not valid because the current image contains no valid header.";
const char* const TextOutMemory =
    "Some operation could not be performed because the system is out of resources. Close some "
    "windows and try again.";
const char* const TextInvalidNewSize = "The new size provided for image resizing is invalid.";
const char* const TextExistentCriticalChunk =
    "The program tried to add a existent critical chunk to the current image which is not "
    "allowed.";
const char* const TextInvalidImageForNewChunk =
    "It's not allowed to add a new chunk because the current image is invalid.";
const char* const TextChunksNotCompatible = "The chunks must be compatible to be assigned.";
const char* const TextNoSuchPaletteEntry = "There is no such palette entry.";

std::string ZlibStatusText(int status) {
    switch (status) {
    case -6:
        return "incompatible version (-6)";
    case -5:
        return "buffer error (-5)";
    case -4:
        return "insufficient memory (-4)";
    case -3:
        return "data error (-3)";
    case -2:
        return "stream error (-2)";
    case -1:
        return "file error (-1)";
    case 0:
        return "(0)";
    case 1:
        return "stream end (1)";
    case 2:
        return "need dictionary (2)";
    default:
        return "(" + std::to_string(status) + ")";
    }
}

} // namespace zorbalin

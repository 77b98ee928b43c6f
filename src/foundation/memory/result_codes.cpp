#include "foundation/memory/result_codes.h"

const char* ResultCodeText(ResultCode code) {
    switch (code) {
    case kResultOk:
        return "no error";
    case kResultOutOfMemory:
        return "out of memory";
    case kResultReadError:
        return "the file cannot be read";
    case kResultEndOfData:
        return "the data ends too early";
    case kResultWriteError:
        return "the file cannot be written";
    case kResultDiskFull:
        return "the disk is full";
    case kResultCannotOpen:
        return "the file cannot be opened";
    case kResultCannotCreate:
        return "the file cannot be created";
    case kResultBufferFull:
        return "the memory buffer is full";
    case kResultCompressionError:
        return "the compressed data is damaged";
    default:
        return nullptr;
    }
}

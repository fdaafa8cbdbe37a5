#pragma once
// The failures that the image file operations hand to their callers.

#include <string>

namespace vantrel {

struct ImageFileError {
    enum class Kind {
        FileError,    // a file could not be opened, created or written; sysError holds errno
        Undecodable,  // the photo could not be decoded (only where the caller must know)
        BadCodeList,  // an entry of a warning-code list is not a whole number
        Encoder,      // the codec refused to write the picture
        NoCopy,       // a scaled copy could not be made: a size outside the allowed range, nothing
                      // to scale, or no memory for it
    };
    Kind kind = Kind::FileError;
    int sysError = 0;
    std::string message;
};

// A FileError for `path` from errno, worded like "cannot open 'x': No such file or directory".
ImageFileError FileErrorFromErrno(const std::string& action, const std::string& path, int error);

}  // namespace vantrel

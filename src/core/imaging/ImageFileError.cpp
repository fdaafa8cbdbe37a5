#include "core/imaging/ImageFileError.h"

#include <cstring>

#include "core/imaging/ImageParams.h"

namespace vantrel {

ImageFileError FileErrorFromErrno(const std::string& action, const std::string& path, int error) {
    return {ImageFileError::Kind::FileError, error, action + " '" + path + "': " + std::strerror(error)};
}

const char* ColourModelName(ColourModel model) {
    switch (model) {
        case ColourModel::RGB: return "RGB";
        case ColourModel::Grey: return "grey";
        case ColourModel::YCbCr: return "YCbCr";
        case ColourModel::CMYK: return "CMYK";
        case ColourModel::YCCK: return "YCCK";
        case ColourModel::Unknown: break;
    }
    return "unknown";
}

}  // namespace vantrel

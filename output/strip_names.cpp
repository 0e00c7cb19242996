#include "strip_names.h"

namespace StripFiles {

std::optional<Format> FormatOfName(const QString& path) {
    for (const Format format : {Format::Bmp, Format::Png})
        if (path.endsWith(QLatin1String(Ending(format)), Qt::CaseInsensitive)) return format;
    return std::nullopt;
}

const char* Ending(Format format) {
    return format == Format::Png ? ".png" : ".bmp";
}

std::string ExportFileName(const std::string& BaseName, bool horizontal, Format format) {
    return SeqName(BaseName, horizontal ? SeqLetter::Horizontal : SeqLetter::Vertical) +
           Ending(format);
}

std::string SeqName(const std::string& BaseName, SeqLetter letter) {
    return BaseName + "_Seq_" + static_cast<char>(letter);
}

}  // namespace StripFiles

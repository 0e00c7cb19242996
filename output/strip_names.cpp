#include "strip_names.h"

namespace Output {

namespace {

constexpr FormatRow kFormats[] = {
    {Format::Png, "png", ".png", "PNG"},
    {Format::Bmp, "bmp", ".bmp", "BMP"},
};

}  // namespace

std::span<const FormatRow> Formats() {
    return kFormats;
}

std::optional<Format> FormatOfName(const QString& path) {
    for (const FormatRow& row : kFormats)
        if (path.endsWith(QLatin1String(row.ending), Qt::CaseInsensitive)) return row.format;
    return std::nullopt;
}

const char* Ending(Format format) {
    for (const FormatRow& row : kFormats)
        if (row.format == format) return row.ending;
    return kFormats[0].ending;
}

std::string ExportFileName(const std::string& BaseName, bool horizontal, Format format) {
    return SeqName(BaseName, horizontal ? SeqLetter::Horizontal : SeqLetter::Vertical) +
           Ending(format);
}

std::string SeqName(const std::string& BaseName, SeqLetter letter) {
    return BaseName + "_Seq_" + static_cast<char>(letter);
}

}  // namespace Output

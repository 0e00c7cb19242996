#pragma once

#include <QString>

#include <optional>
#include <span>
#include <string>

namespace Output {

// What kind of file a strip becomes, and what it is called.

// An uncompressed 24-bit Windows bitmap, or a PNG file (RGB, or RGBA for a
// strip that keeps its transparency).
enum class Format { Bmp, Png };

// Each format: its word for --format, its ending and its name.
struct FormatRow {
    Format format;
    const char* word;    // "png"
    const char* ending;  // ".png"
    const char* title;   // "PNG"
};
std::span<const FormatRow> Formats();

// The format a file name's ending names (".bmp" or ".png", either case).
std::optional<Format> FormatOfName(const QString& path);

// ".bmp", ".png".
const char* Ending(Format format);

// The name a saved strip gets: "<base>_Seq_H.bmp" for a horizontal strip,
// "<base>_Seq_V.bmp" for a vertical one, with the format's ending. Works on
// bytes, so a base that is not UTF-8 stays as it is.
std::string ExportFileName(const std::string& BaseName, bool horizontal,
                           Format format = Format::Bmp);

// The letter after "_Seq_" for each way the command line lays frames out.
enum class SeqLetter : char { Horizontal = 'H', Vertical = 'V', Grid = 'G', Frames = 'F' };

// "<base>_Seq_H" and so on, without an ending.
std::string SeqName(const std::string& BaseName, SeqLetter letter);

}  // namespace Output

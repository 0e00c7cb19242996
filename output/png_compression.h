#pragma once

// How hard the PNG encoder works on a strip: the fastest, the balance of
// time and size, or the smallest file in reasonable time. The same pixels
// in each; see PngEncoder for what each one does.
enum class PngCompression { Fast, Default, Small };

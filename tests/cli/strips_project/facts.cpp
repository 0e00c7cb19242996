// Says each embedded strip's facts and writes its bytes into the folder
// named first.
#include <cstdio>
#include <string>

#include "ui.h"

namespace {

bool dump(const char* name, const torvelink_strip& strip, const std::string& folder) {
    std::printf("%s: %u frames of %u x %u, %u x %u, %s, scale %g, from %g to %g\n", name,
                strip.frames, strip.frame_width, strip.frame_height, strip.columns, strip.rows,
                strip.layout, strip.scale, strip.start_angle, strip.end_angle);
    std::FILE* file = std::fopen((folder + "/" + name).c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(strip.data, 1, strip.size, file) == strip.size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const bool all = dump("knob_Seq_V.png", ui::knob_Seq_V, argv[1]) &&
                     dump("knob_Seq_V@2x.png", ui::knob_Seq_V_2x, argv[1]) &&
                     dump("fader_Seq_V.png", ui::fader_Seq_V, argv[1]) &&
                     dump("fader_Seq_V@2x.png", ui_fader_Seq_V_2x, argv[1]);
    return all ? 0 : 1;
}

/* The embedded strip from C: its facts, and its bytes into the file named
   first. */
#include <stdio.h>

#include "strips.h"

int main(int argc, char** argv) {
    FILE* file;
    size_t written;
    if (argc < 2) return 2;
    printf("dial_Seq_G.png: %u frames of %u x %u, %u x %u, %s, scale %g\n",
           strips_dial_Seq_G.frames, strips_dial_Seq_G.frame_width, strips_dial_Seq_G.frame_height,
           strips_dial_Seq_G.columns, strips_dial_Seq_G.rows, strips_dial_Seq_G.layout,
           strips_dial_Seq_G.scale);
    file = fopen(argv[1], "wb");
    if (file == NULL) return 1;
    written = fwrite(strips_dial_Seq_G.data, 1, strips_dial_Seq_G.size, file);
    return fclose(file) == 0 && written == strips_dial_Seq_G.size ? 0 : 1;
}

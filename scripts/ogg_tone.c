/* Writes a sine tone as an Ogg Vorbis file: ogg_tone OUT SECONDS HZ [RATE].
 * Built and run by make-test-sounds.py, so the test books' OGG music is our own. */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <vorbis/vorbisenc.h>

static void write_pages(ogg_stream_state* os, FILE* out, int flush) {
    ogg_page page;
    while (flush ? ogg_stream_flush(os, &page) : ogg_stream_pageout(os, &page)) {
        fwrite(page.header, 1, (size_t)page.header_len, out);
        fwrite(page.body, 1, (size_t)page.body_len, out);
    }
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: ogg_tone OUT SECONDS HZ [RATE]\n");
        return 2;
    }
    const double seconds = atof(argv[2]);
    const double hz = atof(argv[3]);
    const long rate = argc > 4 ? atol(argv[4]) : 44100;
    FILE* out = fopen(argv[1], "wb");
    if (!out) {
        perror(argv[1]);
        return 1;
    }
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 2, rate, 0.1f) != 0) {
        return 1;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 20251207);
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    write_pages(&os, out, 1);

    const long frames = (long)(seconds * rate);
    long done = 0;
    while (1) {
        const long chunk = frames - done > 1024 ? 1024 : frames - done;
        if (chunk > 0) {
            float** buffer = vorbis_analysis_buffer(&vd, (int)chunk);
            for (long i = 0; i < chunk; ++i) {
                const float v = 0.4f * (float)sin(2 * M_PI * hz * (double)(done + i) / rate);
                buffer[0][i] = v;
                buffer[1][i] = v;
            }
            vorbis_analysis_wrote(&vd, (int)chunk);
            done += chunk;
        } else {
            vorbis_analysis_wrote(&vd, 0);
        }
        int ended = 0;
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, NULL);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                write_pages(&os, out, 0);
                if (packet.e_o_s) {
                    ended = 1;
                }
            }
        }
        if (ended || chunk <= 0) {
            write_pages(&os, out, 1);
            break;
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    fclose(out);
    return 0;
}

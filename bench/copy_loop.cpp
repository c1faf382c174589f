// The baseline: copies a file to another one character at a time with getc
// and putc.   copy_loop IN OUT
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: copy_loop IN OUT\n", stderr);
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    if (in == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    int c;
    while ((c = std::getc(in)) != EOF) std::putc(c, out);
    std::fclose(in);
    return std::fclose(out) == 0 ? 0 : 1;
}

// Writes a large, realistic KROL source for the assembler benchmark: instructions with
// expressions, a label every 10 lines with jumps to them, constants, comments and an include.
//   gen_kro_source LINES OUTPUT.kro   (also writes OUTPUT's directory/bench_consts.inc)
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_kro_source LINES OUTPUT.kro\n");
        return 2;
    }
    const long lines = std::strtol(argv[1], nullptr, 10);
    const std::string out = argv[2];
    const std::string dir = out.find('/') == std::string::npos ? "." : out.substr(0, out.rfind('/'));

    FILE* inc = std::fopen((dir + "/bench_consts.inc").c_str(), "w");
    FILE* f = std::fopen(out.c_str(), "w");
    if (!inc || !f) {
        std::perror("gen_kro_source");
        return 1;
    }
    std::fprintf(inc, "// constants shared by the benchmark source\n");
    for (int i = 0; i < 100; ++i)
        std::fprintf(inc, "INC_%d = %d\n", i, i * 7);
    std::fclose(inc);

    long written = 0;
    std::fprintf(f, "// generated benchmark source\n#include bench_consts.inc\n");
    written += 2;
    for (int i = 0; i < 1000 && written < lines; ++i, ++written)
        std::fprintf(f, "C_%d = %d * 4 + $%X // constant %d\n", i, i, i & 0xff, i);

    long label = 0;
    while (written < lines) {
        const long n = written;
        switch (n % 10) {
        case 0: std::fprintf(f, "L%ld: SAP 4, %ld, C_%ld * 2 + 100\n", label, n % 3, n % 1000); ++label; break;
        case 1: std::fprintf(f, "        ROR %ld, (C_%ld + INC_%ld) / 2\n", n % 3, (n / 3) % 1000, n % 100); break;
        case 2: std::fprintf(f, "        // moving on\n"); break;
        case 3: std::fprintf(f, "        MVP ABS, %ld, %ld * 16 - $100\n", n % 3, n % 5000); break;
        case 4: std::fprintf(f, "        WAIT POS, %ld, 0\n", n % 3); break;
        case 5: std::fprintf(f, "        CALC ADD, %%1010 + C_%ld\n", n % 1000); break;
        case 6: std::fprintf(f, "        COMP 1000 // compare\n"); break;
        case 7: std::fprintf(f, "        JC GT, L%ld\n", label > 1 ? label - 2 : 0); break;
        case 8: std::fprintf(f, "        GAP 1, %ld\n", n % 3); break;
        default: std::fprintf(f, "        JA L%ld\n", label); break;   // the next label
        }
        ++written;
    }
    std::fprintf(f, "L%ld: STOP\n", label);
    std::fclose(f);
    return 0;
}

// Writes a comparable x86 assembly source for GNU as: simple instructions with a label every
// 10 lines and jumps to them.   gen_x86_source LINES OUTPUT.s
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_x86_source LINES OUTPUT.s\n");
        return 2;
    }
    const long lines = std::strtol(argv[1], nullptr, 10);
    FILE* f = std::fopen(argv[2], "w");
    if (!f) {
        std::perror("gen_x86_source");
        return 1;
    }
    std::fprintf(f, "\t.text\n\t.globl main\nmain:\n");
    long label = 0;
    for (long n = 0; n < lines; ++n) {
        switch (n % 10) {
        case 0: std::fprintf(f, "L%ld:\tmovl $%ld, %%eax\n", label, n * 4 + 100); ++label; break;
        case 1: std::fprintf(f, "\taddl $%ld, %%ebx\n", n % 1000); break;
        case 2: std::fprintf(f, "\t# moving on\n"); break;
        case 3: std::fprintf(f, "\tmovl %%eax, %%ecx\n"); break;
        case 4: std::fprintf(f, "\tsubl $%ld, %%ecx\n", n % 5000); break;
        case 5: std::fprintf(f, "\taddl $10, %%eax\n"); break;
        case 6: std::fprintf(f, "\tcmpl $1000, %%eax\n"); break;
        case 7: std::fprintf(f, "\tjg L%ld\n", label > 1 ? label - 2 : 0); break;
        case 8: std::fprintf(f, "\tmovl %%ebx, %%edx\n"); break;
        default: std::fprintf(f, "\tjmp L%ld\n", label); break;
        }
    }
    std::fprintf(f, "L%ld:\tret\n", label);
    std::fclose(f);
    return 0;
}

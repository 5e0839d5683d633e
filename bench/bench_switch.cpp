// The yardstick for `krol sim`: a plain switch interpreter written for this benchmark alone,
// running the loop bench/krol-sim-bench.sh gives `krol sim`:
//   L: CALC ADD, 1 / COMP 0 / JC LT, L / DJNZ 0, L
// Usage: bench_switch INSTRUCTIONS. Prints instructions per second of wall and CPU time.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

enum Op : uint8_t { Add, Comp, JcLt, Djnz };

struct Word
{
    Op op;
    uint8_t type;
    int32_t value;
};

} // namespace

int main(int argc, char** argv)
{
    const long long count = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : 0;
    if (count <= 0) {
        std::fprintf(stderr, "usage: bench_switch INSTRUCTIONS\n");
        return 2;
    }
    // Read through a volatile pointer so the compiler cannot see the program.
    static const Word program[] = {{Add, 0, 1}, {Comp, 0, 0}, {JcLt, 0, 0}, {Djnz, 0, 0}};
    const Word* volatile source = program;
    const Word* code = source;

    int32_t a = 0, left = 0, right = 0;
    int32_t vars[256] = {};
    uint32_t pc = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    for (long long i = 0; i < count; ++i) {
        const Word& w = code[pc];
        switch (w.op) {
        case Add:
            a = int32_t(uint32_t(a) + uint32_t(w.value));
            left = a;
            right = 0;
            ++pc;
            break;
        case Comp:
            left = a;
            right = w.value;
            ++pc;
            break;
        case JcLt:
            pc = left < right ? uint32_t(w.value) : pc + 1;
            break;
        case Djnz:
            vars[w.type] = int32_t(uint32_t(vars[w.type]) - 1);
            pc = vars[w.type] != 0 ? uint32_t(w.value) : pc + 1;
            break;
        }
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::printf("instructions %lld\nwall_time_s %.6f\ncpu_time_s %.6f\n", count, wall, cpu);
    std::printf("instructions_per_second %.0f\ninstructions_per_cpu_second %.0f\n", double(count) / wall,
                cpu > 0 ? double(count) / cpu : 0.0);
    std::printf("a %d\n", a);   // uses the result, so the loop stays
    return 0;
}

// vimbo_sim: plays the SMS controller board on a pseudo-terminal, for the tool's integration
// tests, benchmarks and demos.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "options.h"
#include "simulator.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const sim::Parsed_options parsed = sim::parse_options(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "vimbo_sim: %s\n%s", parsed.error.c_str(), sim::kUsage);
        return 2;
    }
    if (parsed.options.help) {
        std::fputs(sim::kUsage, stdout);
        return 0;
    }
    try {
        sim::Simulator simulator(parsed.options, sim::Reporter(1));
        return simulator.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vimbo_sim: %s\n", e.what());
        return 1;
    }
}

// The fuzz target's corpus as a regression suite for `make test`: each file of the folders given
// is played once as an editing session, under the target's oracles (a failing one aborts), with
// the compiler the rest of the tests use and no libFuzzer.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int played = 0;
    for (int folder = 1; folder < argc; ++folder)
        for (const auto& file : std::filesystem::directory_iterator(argv[folder])) {
            std::ifstream in(file.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            std::printf("%s\n", file.path().filename().c_str()); // the one a failure aborts in
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++played;
        }
    std::printf("PASSED: %d editing sessions\n", played);
    return played > 0 ? 0 : 1;
}

// vantor-demo-config: writes the demo's config.vtr, whose virtual folders publish a media folder
// that scripts/run has filled. Uses the tool's own writer, so the demo opens what the tool saves.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "sim/demo_config.h"

namespace {

constexpr char Usage[] =
    "Usage: vantor-demo-config OUT_FILE MEDIA_DIR\n"
    "Writes a config.vtr with the demo's virtual folders (over MEDIA_DIR, an absolute path, and\n"
    "its sub-folder \"extras\") and a live broadcast of every type.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs(Usage, stderr);
        return 2;
    }
    const std::string out = argv[1];
    const std::string mediaDir = argv[2];
    // The server resolves folders on its own, from wherever it runs.
    if (mediaDir.empty() || mediaDir.front() != '/') {
        std::fprintf(stderr, "vantor-demo-config: MEDIA_DIR must be an absolute path: %s\n",
                     mediaDir.c_str());
        return 2;
    }

    const std::vector<std::uint8_t> bytes = vantor::sim::DemoConfigFile(mediaDir);
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "vantor-demo-config: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

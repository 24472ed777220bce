// gen_docs DIR: writes lintavo.1, lintavo-batch.1, their Japanese pages
// (DIR/ja, which must exist) and the bash completion lintavo-batch into DIR
// (run by the build; not installed).
#include <cstdio>
#include <fstream>
#include <string>

#include "app/batch_docs.h"
#include "engine/version.h"

#ifndef LINTAVO_RELEASE_DATE
#error "LINTAVO_RELEASE_DATE must name the release date"
#endif

namespace {

bool write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "gen_docs: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_docs DIR\n");
        return 2;
    }
    using namespace lintavo;
    const std::string dir = argv[1];
    const std::string version = std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
                                std::to_string(kVersionRevision);
    const bool ok = write(dir + "/lintavo.1", batch::window_manual_page(version, LINTAVO_RELEASE_DATE)) &&
                    write(dir + "/lintavo-batch.1", batch::batch_manual_page(version, LINTAVO_RELEASE_DATE)) &&
                    write(dir + "/ja/lintavo.1", batch::window_manual_page_ja(version, LINTAVO_RELEASE_DATE)) &&
                    write(dir + "/ja/lintavo-batch.1", batch::batch_manual_page_ja(version, LINTAVO_RELEASE_DATE)) &&
                    write(dir + "/lintavo-batch", batch::batch_completion());
    return ok ? 0 : 1;
}

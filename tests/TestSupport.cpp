#include "TestSupport.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

fs::path projectPath(std::string_view relative) {
    std::string root = TIRN_SOURCE_DIR;
#ifdef _WIN32
    // The build passes a Unix path; Wine shows the Unix root as drive Z:.
    if (!root.empty() && root[0] == '/') root = "Z:" + root;
#endif
    return fs::path(root) / fs::path(std::string(relative));
}

fs::path corpusFolder() {
    return projectPath("../shared/corpus/real");
}

std::string corpusMissingReason() {
    std::error_code error;
    if (fs::is_directory(corpusFolder(), error)) return {};
    return "no real-world corpus at " + corpusFolder().string();
}

bool corpusRequired() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && *ci != '\0';
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path =
        fs::temp_directory_path() / ("tirn-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Read-only files made by a test must not survive it.
    for (auto it = fs::recursive_directory_iterator(path, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    }
    fs::remove_all(path, ignored);
}

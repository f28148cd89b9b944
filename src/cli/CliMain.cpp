// Entry point of the console tool tirn-gpx; everything else is in the tirn_cli library.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommands.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

void writeAll(std::FILE* stream, const std::string& bytes) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

int run(const std::vector<CliArgument>& arguments) {
    if (isVersionRequest(arguments)) {
        writeAll(stdout, versionText());
        return 0;
    }
    CliOutput output;
    output.writeOut = [](std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); };
    const int status = runCli(arguments, output);
    writeAll(stdout, output.out);
    writeAll(stderr, output.err);
    return status;
}

}  // namespace

#ifdef _WIN32
// Arguments arrive as UTF-16, so every file name survives; the output is UTF-8 and the console
// is told so (redirected output simply receives the UTF-8 bytes).
int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    std::vector<CliArgument> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(cliArgumentFromWide(reinterpret_cast<const char16_t*>(argv[i])));
    }
    return run(arguments);
}
#else
int main(int argc, char** argv) {
    std::vector<CliArgument> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(cliArgumentFromUtf8(argv[i]));
    return run(arguments);
}
#endif

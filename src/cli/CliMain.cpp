// Entry point of the console tool tirn-gpx; everything else is in the tirn_cli library.

#include <cstdio>
#include <vector>

#include "cli/CliCommands.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

int run(const std::vector<CliArgument>& arguments) {
    const int status = runCliWritingTo(arguments, stdout, stderr);
    // Closing is the last write: a disk that fills up at the very end still counts.
    if (std::fclose(stdout) != 0) {
        if (status == 0) std::fputs("tirn-gpx: cannot write the output\n", stderr);
        return 1;
    }
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

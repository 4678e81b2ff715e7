// Quarrytide: a web browser that captures business listings into CSV.
#include <cstdio>

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    std::puts("Quarrytide: the main window is not built yet.\n"
              "What exists today is the runtime library it stands on; see README.md, \"What works today\".");
    return 0;
}

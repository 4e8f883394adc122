#include <cstdio>

int main()
{
    std::fputs("usage: brisklane-cli [-v] [--timeout S] URL quote CMD...\n", stderr);
    return 1;
}

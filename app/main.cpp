// The presentation's entry point: start-up, main loop, shutdown.
#include <cstdio>

int main(int, char**)
{
    std::printf("zedariva %s\n", ZEDARIVA_VERSION);
    return 0;
}

// The game's entry point.
#include <cstdio>

int main() {
    std::puts("Velmor");
    return 0;
}

// Read by the leak checker of sanitizer builds (and ignored otherwise):
// system libraries (fontconfig under Cairo, SDL) keep caches until the
// process ends. Nothing of the game's own is excused. Weak, so that a
// program with suppressions of its own (a fuzz target) may replace it.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libcairo.so\nleak:libSDL2\n";
}

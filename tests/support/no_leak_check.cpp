// Linked into test programs that open an OpenGL context: Mesa unloads its driver when the context
// closes, so the driver's leaks arrive without a stack that could be suppressed.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

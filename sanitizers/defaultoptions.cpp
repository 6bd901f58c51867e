// The sanitizer runtimes ask for these before reading ASAN_OPTIONS, UBSAN_OPTIONS and
// LSAN_OPTIONS, which still override them.
extern "C" {

// faketime is preloaded ahead of the runtime in the clock tests; the order is harmless there.
const char* __asan_default_options() {
    return "verify_asan_link_order=0:detect_stack_use_after_return=1";
}

// Stop at the first finding, but let the suppressions (faults inside Qt's own headers) pass.
const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1:suppressions=" KQ_UBSAN_SUPPRESSIONS;
}

const char* __lsan_default_options() {
    return "suppressions=" KQ_LSAN_SUPPRESSIONS;
}
}

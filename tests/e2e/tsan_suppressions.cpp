// The device simulator serves through the system's cpp-httplib, a shared
// library built without ThreadSanitizer: its own synchronisation is not
// seen, so accesses inside it show as races. Only reports whose frames are
// in that library are suppressed; our code stays checked.
extern "C" const char* __tsan_default_suppressions();
extern "C" const char* __tsan_default_suppressions() {
    return "race:libcpp-httplib.so\n";
}

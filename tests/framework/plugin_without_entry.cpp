// A shared object that is not a plug-in: it exports a function, but neither
// pluginfo nor pluginit.
extern "C" __attribute__((visibility("default"))) int notAPlugin() {
    return 42;
}

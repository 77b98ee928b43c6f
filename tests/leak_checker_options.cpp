// The leak checker of this toolchain works out the size of a thread's dynamic TLS block by
// guessing the C library's layout: a block starting 16 bytes past a page boundary is taken for
// an old glibc's, and the two words before it, here the allocator's own chunk header, for its
// start and size, a range the checker then scans and faults on at exit. The OpenGL tests draw
// through Mesa's llvmpipe on the calling thread, whose LLVM thread-locals get such blocks from
// malloc, and whether one starts there depends on every allocation before it. Without the
// interception the blocks are still scanned: the checker counts what the dynamic linker
// allocates among its roots, and dynamic TLS is allocated there.
extern "C" const char* __lsan_default_options();

extern "C" const char* __lsan_default_options() {
    return "intercept_tls_get_addr=0";
}

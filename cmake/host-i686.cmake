# The logic and its unit tests as a 32-bit Linux program (size_t and pointers of 32 bits, as in the i686
# release), with the host's own g++ (Debian's g++-multilib).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)

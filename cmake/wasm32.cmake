# The page's module: clang's wasm32 target linked by lld, on Debian's WASI C library for memcpy and
# the C++ headers. A reactor: no main, nothing imported, the page calls its exports.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
# memcpy and memset as single instructions (every browser of the last years has them).
set(CMAKE_CXX_FLAGS_INIT "-mbulk-memory -fno-exceptions -fno-rtti")
set(CMAKE_CXX_FLAGS_MINSIZEREL_INIT "-Oz -DNDEBUG")
# Linked without the compile flags: given an -O flag, clang would run whatever wasm-opt is on the
# PATH, with features it does not pass on; the build runs wasm-opt itself.
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_CXX_COMPILER> --target=wasm32-wasi -mexec-model=reactor -nostdlib++ <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")

# Standalone Asio (header-only) with one configuration for every translation unit that includes
# it: link yav_asio, never set ASIO_* macros on a single target. Asio decides some of its
# configuration from macros of the standard library's headers, so a file that includes Asio
# before any standard header would otherwise build its inline functions differently from the
# rest (memory from aligned_alloc in one file released with operator delete in another).
find_path(YAV_ASIO_INCLUDE_DIR asio.hpp REQUIRED)
add_library(yav_asio INTERFACE)
target_include_directories(yav_asio SYSTEM INTERFACE ${YAV_ASIO_INCLUDE_DIR})
target_compile_definitions(yav_asio INTERFACE
  ASIO_STANDALONE
  # Handler memory comes from operator new and goes back to operator delete in every file,
  # whatever was included before Asio.
  ASIO_DISABLE_STD_ALIGNED_ALLOC)
if(YAV_SANITIZE STREQUAL "thread")
  # ThreadSanitizer does not model a lone memory fence (GCC refuses one under -fsanitize=thread);
  # the fences around Asio's handler calls sit inside the scheduler's locking, which it does see.
  target_compile_definitions(yav_asio INTERFACE ASIO_DISABLE_FENCED_BLOCK)
endif()

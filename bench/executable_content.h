// Benchmark input that looks like what the program searches: the bytes of real executables.
#pragma once

#include <cstdint>

#include "bytes/byte_buffer.h"

// `size` bytes taken from the ELF executables and shared libraries of this machine (/usr/bin,
// /usr/lib/x86_64-linux-gnu), whole files in name order, the last one cut to fit. Ends the
// process with a message when the machine holds fewer bytes than that.
ByteBuffer executableContent(std::int32_t size);

// Test texts written in UTF-8 and converted to code page 936 independently of the program.
#pragma once

#include <iconv.h>

#include <stdexcept>
#include <string>

#include "bytes/byte_buffer.h"

inline std::string gbkBytes(const char8_t* utf8) {
    std::string in(reinterpret_cast<const char*>(utf8));
    iconv_t convert = iconv_open("GBK", "UTF-8");
    if (convert == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no GBK converter");
    std::string out(in.size() * 2 + 1, '\0');
    char* from = in.data();
    std::size_t fromLeft = in.size();
    char* to = out.data();
    std::size_t toLeft = out.size();
    const std::size_t result = iconv(convert, &from, &fromLeft, &to, &toLeft);
    iconv_close(convert);
    if (result == static_cast<std::size_t>(-1)) throw std::runtime_error("text not in GBK");
    out.resize(out.size() - toLeft);
    return out;
}

inline AnsiText gbk(const char8_t* utf8) { return AnsiText(gbkBytes(utf8).c_str()); }

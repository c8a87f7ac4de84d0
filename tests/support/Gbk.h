// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <iconv.h>

#include <stdexcept>
#include <string>

namespace qel::test {

// A UTF-8 text in the code page 936 as glibc's iconv writes it: the bytes a Chinese Windows
// keeps, from a converter other than the program's own.
inline std::string gbk(const std::string& utf8) {
    iconv_t cd = ::iconv_open("CP936", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP936 in iconv");
    std::string in = utf8, out(utf8.size() * 2 + 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t srcLeft = in.size(), dstLeft = out.size();
    const size_t done = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    ::iconv_close(cd);
    if (done == static_cast<size_t>(-1)) throw std::runtime_error("not in CP936: " + utf8);
    out.resize(out.size() - dstLeft);
    return out;
}

}  // namespace qel::test

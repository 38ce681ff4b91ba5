# SPDX-License-Identifier: MIT
# The figures compare our container with the two common general-purpose compressors.
find_package(ZLIB REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LZ4 REQUIRED IMPORTED_TARGET liblz4)
target_link_libraries(bench_lzrw1 PRIVATE vrako_support PkgConfig::LZ4 ZLIB::ZLIB)

# SPDX-License-Identifier: MIT
target_link_libraries(bench_lzrw1 PRIVATE vrako_support lz4 z)

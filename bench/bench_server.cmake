# SPDX-License-Identifier: MIT
target_link_libraries(bench_server PRIVATE vrako_server)

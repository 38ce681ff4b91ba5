# SPDX-License-Identifier: MIT
target_link_libraries(bench_window PRIVATE vrako_shell)

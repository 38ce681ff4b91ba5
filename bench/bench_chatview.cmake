# SPDX-License-Identifier: MIT
target_link_libraries(bench_chatview PRIVATE vrako_chat)
